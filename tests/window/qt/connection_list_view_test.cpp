#include <gtest/gtest.h>

#include <QHeaderView>
#include <QHelpEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <string>
#include <vector>

#include "window/qt/connection_list_view.h"
#include "window/qt/qt_conversions.h"
#include "window/qt/qt_test_support.h"

namespace {

const ReportListSettings& DescribedList() {
  return std::get<ReportListSettings>(
      FindControl(MainWindowDescription(), ControlKind::ReportList).settings);
}

QString CellText(const ConnectionListView& list, int row, int column) {
  return list.Rows().index(row, column).data(Qt::DisplayRole).toString();
}

std::vector<QString> ColumnTexts(const ConnectionListView& list, int column) {
  std::vector<QString> texts;
  for (int row = 0; row < list.Rows().rowCount(); ++row)
    texts.push_back(CellText(list, row, column));
  return texts;
}

TEST(ConnectionListView, ColumnsFollowTheDescription) {
  ConnectionListView list(DescribedList());
  const auto& columns = DescribedList().columns;
  ASSERT_EQ(list.Rows().columnCount(), kConnectionListColumnCount);
  ASSERT_EQ(list.header()->count(), kConnectionListColumnCount);
  list.AppendRow("127.0.0.1");
  for (int i = 0; i < kConnectionListColumnCount; ++i) {
    const ListColumnDescription& column = columns[static_cast<std::size_t>(i)];
    SCOPED_TRACE(column.title);
    EXPECT_EQ(list.Rows().headerData(i, Qt::Horizontal).toString(),
              QString::fromUtf8(column.title));
    EXPECT_EQ(list.header()->sectionSize(i), column.width);
    const auto titleAlignment =
        list.Rows().headerData(i, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
    const auto cellAlignment =
        list.Rows().index(0, i).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    EXPECT_TRUE(titleAlignment & Qt::AlignLeft);
    EXPECT_TRUE(cellAlignment & Qt::AlignLeft);
    EXPECT_EQ(list.header()->sectionResizeMode(i), QHeaderView::Interactive);
  }
  EXPECT_FALSE(list.header()->stretchLastSection());
}

TEST(ConnectionListView, SetUpAsAReportList) {
  ConnectionListView list(DescribedList());
  EXPECT_FALSE(list.header()->isHidden());
  EXPECT_TRUE(list.header()->sectionsClickable());
  EXPECT_FALSE(list.header()->sectionsMovable());
  EXPECT_FALSE(list.header()->isSortIndicatorShown());
  EXPECT_FALSE(list.isSortingEnabled());
  EXPECT_EQ(list.selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_EQ(list.editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_FALSE(list.rootIsDecorated());
  EXPECT_FALSE(list.hasMouseTracking());
  EXPECT_EQ(list.frameShadow(), QFrame::Sunken);
  EXPECT_EQ(list.Rows().rowCount(), 0);
  EXPECT_EQ(list.palette().color(QPalette::Active, QPalette::Text), QColor(0, 0, 0));
  EXPECT_EQ(list.palette().color(QPalette::Active, QPalette::Base), QColor(255, 255, 255));
  list.AppendRow("x");
  const Qt::ItemFlags flags = list.Rows().flags(list.Rows().index(0, 0));
  EXPECT_FALSE(flags & Qt::ItemIsEditable);
  EXPECT_FALSE(flags & Qt::ItemIsUserCheckable);
  EXPECT_FALSE(list.Rows().index(0, 0).data(Qt::CheckStateRole).isValid());
}

TEST(ConnectionListView, AppendRowCountsFromZeroAndKeepsItsOwnCopies) {
  ConnectionListView list(DescribedList());
  for (int i = 0; i < 3; ++i) {
    std::string text = "10.0.0." + std::to_string(i);
    EXPECT_EQ(list.AppendRow(text), i);
    text.assign(text.size(), '#');  // the caller's text may change once the call returns
  }
  EXPECT_EQ(list.AppendRow(""), 3);
  EXPECT_EQ(ColumnTexts(list, 0), (std::vector<QString>{"10.0.0.0", "10.0.0.1", "10.0.0.2", ""}));
  for (int column = 1; column < kConnectionListColumnCount; ++column) {
    EXPECT_EQ(CellText(list, 0, column), QString());
  }
}

TEST(ConnectionListView, HostileTextsAreShownEscaped) {
  ConnectionListView list(DescribedList());
  const struct {
    std::string path;
    QString shown;
  } cases[] = {
      {"/tmp/new\nline", "/tmp/new\\nline"},
      {"/tmp/evil\xe2\x80\xaegpj.exe", "/tmp/evil\\u202egpj.exe"},
      {"/tmp/\x1b[31mred\xff", "/tmp/\\x1b[31mred\\xff"},
      {"/home/用户/a\\b", QString::fromUtf8("/home/用户/a\\b")},
  };
  for (const auto& c : cases) {
    const int row = list.AppendRow("127.0.0.1");
    list.SetCellText(row, 6, c.path);
    EXPECT_EQ(CellText(list, row, 6), c.shown);
  }
}

TEST(ConnectionListView, SetCellTextOnlyWritesCellsThatExist) {
  ConnectionListView list(DescribedList());
  list.AppendRow("a");
  list.AppendRow("b");
  list.SetCellText(1, 5, "正在监听");
  list.SetCellText(0, 0, "a2");
  list.SetCellText(0, 6, "/usr/bin/路径");
  struct Case {
    std::int32_t row, column;
  };
  const Case ignored[] = {{-1, 0}, {2, 0}, {100, 3}, {0, 7}, {0, -1}, {1, 100}, {-1, -1}};
  for (const Case& c : ignored) {
    SCOPED_TRACE(std::to_string(c.row) + "," + std::to_string(c.column));
    list.SetCellText(c.row, c.column, "bad");
    EXPECT_EQ(list.Rows().rowCount(), 2);
  }
  for (int row = 0; row < 2; ++row) {
    for (int column = 0; column < kConnectionListColumnCount; ++column) {
      EXPECT_NE(CellText(list, row, column), QString("bad"));
    }
  }
  EXPECT_EQ(CellText(list, 1, 5), QString::fromUtf8("正在监听"));
  EXPECT_EQ(CellText(list, 0, 0), QString("a2"));
  EXPECT_EQ(CellText(list, 0, 6), QString::fromUtf8("/usr/bin/路径"));
}

// A shown window whose list holds rows b, a, c and has the focus.
class ShownList : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(list_, nullptr);
    for (const char* text : {"b", "a", "c"}) list_->AppendRow(text);
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    list_->setFocus();
    QCoreApplication::processEvents();
  }

  WindowGuard window_{new MainWindow(TestWindowDescription())};
  ConnectionListView* list_ = window_->List();
};

// The rows b, a, c went in while the list was hidden, all at once when shown;
// a row added now is told to the view straight away.
TEST_F(ShownList, RowsAddedWhileShownAppearAtOnce) {
  EXPECT_TRUE(list_->visualRect(list_->Rows().index(2, 0)).isValid());
  EXPECT_EQ(list_->AppendRow("d"), 3);
  list_->SetCellText(3, 6, "/bin/d");
  EXPECT_TRUE(list_->visualRect(list_->Rows().index(3, 6)).isValid());
  EXPECT_EQ(list_->model()->index(3, 6).data().toString(), QString("/bin/d"));
}

TEST_F(ShownList, HeaderPressesNeverReorderRows) {
  QHeaderView* header = list_->header();
  for (int column = 0; column < kConnectionListColumnCount; ++column) {
    SCOPED_TRACE(column);
    const QPoint middle(header->sectionViewportPosition(column) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, middle);
    EXPECT_EQ(ColumnTexts(*list_, 0), (std::vector<QString>{"b", "a", "c"}));
    EXPECT_EQ(header->sectionSize(column), DescribedList().columns[std::size_t(column)].width);
  }
}

TEST_F(ShownList, SelectsOneRowAndStartsNoAction) {
  QSignalSpy activated(list_, &QAbstractItemView::activated);
  const auto clickRow = [this](int row, Qt::MouseButton button) {
    const QRect cell = list_->visualRect(list_->Rows().index(row, 0));
    QTest::mouseClick(list_->viewport(), button, {}, cell.center());
  };
  clickRow(0, Qt::LeftButton);
  clickRow(2, Qt::LeftButton);
  const QModelIndexList selected = list_->selectionModel()->selectedRows();
  ASSERT_EQ(selected.size(), 1);
  EXPECT_EQ(selected.front().row(), 2);
  clickRow(1, Qt::RightButton);
  QTest::keyClick(list_, Qt::Key_Return);
  QTest::keyClick(list_, Qt::Key_Enter, Qt::KeypadModifier);
  QTest::keyClick(list_, Qt::Key_Space);
  EXPECT_EQ(activated.count(), 0);
  // A double click activates the row, to which nothing is connected.
  QTest::mouseDClick(list_->viewport(), Qt::LeftButton, {},
                     list_->visualRect(list_->Rows().index(1, 0)).center());
  EXPECT_TRUE(window_->isVisible());
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_EQ(ColumnTexts(*list_, 0), (std::vector<QString>{"b", "a", "c"}));
}

// The selection shows on the first cell only, and only while the list has
// the focus, as a Windows list view without full-row selection draws it.
TEST_F(ShownList, SelectionHighlightsTheFirstCellWhileFocused) {
  list_->setCurrentIndex(list_->Rows().index(0, 0));
  const QColor highlight = list_->palette().color(QPalette::Active, QPalette::Highlight);
  const QRect first = list_->visualRect(list_->Rows().index(0, 0));
  const QRect fourth = list_->visualRect(list_->Rows().index(0, 3));
  // Right of the short texts, inside their cells.
  const QPoint inFirst(first.right() - 4, first.center().y());
  const QPoint inFourth(fourth.right() - 4, fourth.center().y());

  ASSERT_TRUE(list_->hasFocus());
  QImage shot = Grab(*list_->viewport());
  // The style shades the highlight a little.
  EXPECT_TRUE(ColourNear(PixelAt(shot, inFirst.x(), inFirst.y()), highlight, 8));
  EXPECT_EQ(PixelAt(shot, inFourth.x(), inFourth.y()), QColor(255, 255, 255));

  list_->clearFocus();
  QCoreApplication::processEvents();
  ASSERT_FALSE(list_->hasFocus());
  shot = Grab(*list_->viewport());
  EXPECT_EQ(PixelAt(shot, inFirst.x(), inFirst.y()), QColor(255, 255, 255));
  EXPECT_EQ(list_->selectionModel()->selectedRows().size(), 1);
}

TEST_F(ShownList, TooltipShowsOnlyCellsTheColumnCuts) {
  const std::string longPath = "/opt/" + std::string(200, 'x') + "/server";
  list_->SetCellText(0, 6, longPath);
  list_->SetCellText(1, 6, "/bin/sh");
  QCoreApplication::processEvents();
  const auto askTooltip = [this](int row) {
    const QRect cell = list_->visualRect(list_->Rows().index(row, 6));
    QHelpEvent help(QEvent::ToolTip, cell.center(), list_->viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(list_->viewport(), &help);
  };
  askTooltip(1);
  EXPECT_FALSE(QToolTip::isVisible());
  askTooltip(0);
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text(), QString::fromStdString(longPath));
  QToolTip::hideText();
}

TEST(ConnectionListViewLoad, TakesAHundredThousandRowsOneAtATime) {
  constexpr int kRows = 100000;
  int misnumbered = 0;
  WindowGuard window(LoadStartWindow(TestWindowDescription([&](ConnectionList& list) {
    for (int i = 0; i < kRows; ++i) {
      const std::string n = std::to_string(i);
      if (list.AppendRow("10.0." + n) != i) ++misnumbered;
      for (int column = 1; column < kConnectionListColumnCount; ++column) {
        list.SetCellText(i, column, n + "/" + std::to_string(column));
      }
    }
  })));
  ASSERT_NE(window.get(), nullptr);
  EXPECT_EQ(misnumbered, 0);
  ConnectionListView& list = *window->List();
  ASSERT_EQ(list.Rows().rowCount(), kRows);
  EXPECT_EQ(CellText(list, kRows - 1, 0), QString("10.0.99999"));
  EXPECT_EQ(CellText(list, kRows - 1, 6), QString("99999/6"));
  // The window lays out and draws the full list, scrolled to its end.
  list.scrollToBottom();
  QCoreApplication::processEvents();
  const QImage shot = Grab(*window.get());
  EXPECT_FALSE(shot.isNull());
}

}  // namespace
