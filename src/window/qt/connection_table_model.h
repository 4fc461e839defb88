// The connection rows as plain vectors of texts behind the Qt list. Rows are
// only ever appended, in the order given; nothing sorts or removes them.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "listing/connection_list.h"
#include "window/window_description.h"

class ConnectionTableModel : public QAbstractTableModel {
 public:
  explicit ConnectionTableModel(
      const std::array<ListColumnDescription, kConnectionListColumnCount>& columns,
      QObject* parent = nullptr);

  // Index of the new row, which is the number of rows before the call.
  std::int32_t AppendRow(const QString& text);
  // A row or column that does not exist changes nothing.
  void SetCellText(std::int32_t row, std::int32_t column, const QString& text);

  // A list filled while nobody sees it need not tell its views of every row
  // and cell: between these two the rows are taken in silence, inside one
  // model reset, and the views read them all when it ends. Repeated calls
  // of either are harmless.
  void BeginQuietFill();
  void EndQuietFill();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  using Row = std::array<QString, kConnectionListColumnCount>;

  QVariant Alignment(int column) const;

  std::array<QString, kConnectionListColumnCount> titles_;
  std::array<bool, kConnectionListColumnCount> leftAligned_{};
  std::vector<Row> rows_;
  bool quiet_ = false;
};
