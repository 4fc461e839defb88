#include "window/qt/connection_table_model.h"

#include <cstddef>
#include <limits>

#include "listing/escaped_text.h"
#include "window/qt/qt_conversions.h"

ConnectionTableModel::ConnectionTableModel(
    const std::array<ListColumnDescription, kConnectionListColumnCount>& columns, QObject* parent)
    : QAbstractTableModel(parent) {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    titles_[i] = FromUtf8Text(columns[i].title);
    leftAligned_[i] = columns[i].leftAligned;
  }
}

void ConnectionTableModel::BeginQuietFill() {
  if (quiet_) return;
  beginResetModel();
  quiet_ = true;
}

void ConnectionTableModel::EndQuietFill() {
  if (!quiet_) return;
  quiet_ = false;
  endResetModel();
}

bool ConnectionTableModel::Keep(std::string_view text, TextSpan& span) {
  // Offsets are 32-bit: 4 GiB of text, far beyond any table.
  if (text.size() > std::numeric_limits<std::uint32_t>::max() - texts_.size()) return false;
  span.offset = static_cast<std::uint32_t>(texts_.size());
  span.size = static_cast<std::uint32_t>(text.size());
  texts_.append(text);
  return true;
}

std::int32_t ConnectionTableModel::AppendRow(std::string_view text) {
  // Qt counts rows in int: a row past that range is refused.
  if (rows_.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max())) return -1;
  TextSpan first;
  if (!Keep(text, first)) return -1;
  const int index = static_cast<int>(rows_.size());
  if (!quiet_) beginInsertRows(QModelIndex(), index, index);
  rows_.emplace_back()[0] = first;
  if (!quiet_) endInsertRows();
  return index;
}

void ConnectionTableModel::SetCellText(std::int32_t row, std::int32_t column,
                                       std::string_view text) {
  if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return;
  if (column < 0 || column >= kConnectionListColumnCount) return;
  // A replaced text stays in the buffer unused: the fill sets each cell once.
  TextSpan& span = rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
  if (!Keep(text, span)) return;
  if (quiet_) return;
  // One list for every call: a fill of many rows emits a signal per cell.
  static const QList<int> kDisplayRole{Qt::DisplayRole};
  const QModelIndex cell = index(row, column);
  emit dataChanged(cell, cell, kDisplayRole);
}

int ConnectionTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ConnectionTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kConnectionListColumnCount;
}

QVariant ConnectionTableModel::Alignment(int column) const {
  const bool left = leftAligned_[static_cast<std::size_t>(column)];
  return QVariant::fromValue(Qt::Alignment(left ? Qt::AlignLeft : Qt::AlignRight) |
                             Qt::AlignVCenter);
}

QVariant ConnectionTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
    return {};
  }
  switch (role) {
    case Qt::DisplayRole: {
      const TextSpan span =
          rows_[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column())];
      // Paths are any user's bytes: control characters, bidirectional
      // overrides and invalid UTF-8 are shown as escapes, never obeyed.
      const std::string shown =
          EscapeForDisplay(std::string_view(texts_.data() + span.offset, span.size));
      return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
    }
    case Qt::TextAlignmentRole:
      return Alignment(index.column());
    default:
      return {};
  }
}

QVariant ConnectionTableModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return titles_[static_cast<std::size_t>(section)];
    case Qt::TextAlignmentRole:
      return Alignment(section);
    default:
      return {};
  }
}

Qt::ItemFlags ConnectionTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  // Neither editable nor checkable.
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
