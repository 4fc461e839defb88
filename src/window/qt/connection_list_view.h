// 超级列表框1: the report list of connections, a tree view without branches
// over ConnectionTableModel, set up to look and behave like a Windows
// report-style list view: single selection shown on the first cell only and
// only while the list has the focus, no sorting, editing, grid, check boxes
// or hot tracking, a header whose buttons press but never sort.
#pragma once

#include <QTreeView>
#include <cstdint>
#include <string>

#include "listing/connection_list.h"
#include "window/qt/connection_table_model.h"
#include "window/window_description.h"

class ConnectionListView : public QTreeView, public ConnectionList {
 public:
  ConnectionListView(const ReportListSettings& settings, QWidget* parent = nullptr);

  std::int32_t AppendRow(const std::string& text) override;
  void SetCellText(std::int32_t row, std::int32_t column, const std::string& text) override;

  const ConnectionTableModel& Rows() const { return model_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  ConnectionTableModel model_;
};
