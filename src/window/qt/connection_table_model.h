// The connection rows behind the Qt list. Rows are only ever appended, in
// the order given; nothing sorts or removes them. The texts are kept as the
// UTF-8 bytes they arrive in, end to end in one buffer, and become QStrings
// only when a view asks for a cell: a list of 200,000 rows shows a few dozen
// at a time, and a QString per cell would cost an allocation each and three
// times the memory.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "listing/connection_list.h"
#include "window/window_description.h"

class ConnectionTableModel : public QAbstractTableModel {
 public:
  explicit ConnectionTableModel(
      const std::array<ListColumnDescription, kConnectionListColumnCount>& columns,
      QObject* parent = nullptr);

  // Index of the new row, which is the number of rows before the call; -1
  // when the list is full. Texts are UTF-8.
  std::int32_t AppendRow(std::string_view text);
  // A row or column that does not exist changes nothing.
  void SetCellText(std::int32_t row, std::int32_t column, std::string_view text);

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
  // Where a cell's text lies in texts_.
  struct TextSpan {
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
  };
  using Row = std::array<TextSpan, kConnectionListColumnCount>;

  QVariant Alignment(int column) const;
  // Copies `text` to the end of texts_; false when the buffer is full.
  bool Keep(std::string_view text, TextSpan& span);

  std::array<QString, kConnectionListColumnCount> titles_;
  std::array<bool, kConnectionListColumnCount> leftAligned_{};
  std::vector<Row> rows_;
  std::string texts_;
  bool quiet_ = false;
};
