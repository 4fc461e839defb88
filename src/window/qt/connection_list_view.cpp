#include "window/qt/connection_list_view.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QHelpEvent>
#include <QPalette>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <cstddef>

#include "window/qt/qt_conversions.h"

namespace {

// Paints each cell as the Windows list view without full-row selection
// does: the selection shows on the row's first cell only, and only while
// the list has the focus; the pointer highlights nothing. Its tooltip shows
// a cell's whole text when the column cuts it.
class ListCellDelegate : public QStyledItemDelegate {
 public:
  ListCellDelegate(bool fullRowSelection, bool showSelectionWithoutFocus, bool infoTips,
                   QObject* parent)
      : QStyledItemDelegate(parent),
        fullRowSelection_(fullRowSelection),
        showSelectionWithoutFocus_(showSelectionWithoutFocus),
        infoTips_(infoTips) {}

  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override {
    if (event == nullptr || view == nullptr || event->type() != QEvent::ToolTip) {
      return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    if (infoTips_ && IsCut(text, view, option, index)) {
      QToolTip::showText(event->globalPos(), text, view->viewport(), option.rect);
    } else {
      QToolTip::hideText();
    }
    return true;
  }

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    const bool focused = option->widget != nullptr && option->widget->hasFocus();
    const bool shown =
        (fullRowSelection_ || index.column() == 0) && (showSelectionWithoutFocus_ || focused);
    if (!shown) option->state &= ~QStyle::State_Selected;
    option->state &= ~QStyle::State_MouseOver;
  }

 private:
  // The same text rectangle the style elides the text into.
  bool IsCut(const QString& text, const QAbstractItemView* view, const QStyleOptionViewItem& option,
             const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    QStyle* style = view->style();
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, view);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    return cell.fontMetrics.horizontalAdvance(text) > textRect.width() - 2 * margin;
  }

  bool fullRowSelection_;
  bool showSelectionWithoutFocus_;
  bool infoTips_;
};

}  // namespace

ConnectionListView::ConnectionListView(const ReportListSettings& settings, QWidget* parent)
    : QTreeView(parent), model_(settings.columns) {
  setModel(&model_);
  setItemDelegate(new ListCellDelegate(
      settings.fullRowSelection, settings.showSelectionWithoutFocus, settings.infoTips, this));

  // A flat report: no branches, rows of one height, which keeps a fill of
  // many thousand rows cheap.
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(false);
  setAlternatingRowColors(false);

  setSelectionMode(settings.singleSelection ? QAbstractItemView::SingleSelection
                                            : QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(settings.editable ? QAbstractItemView::DoubleClicked
                                    : QAbstractItemView::NoEditTriggers);
  setSortingEnabled(settings.sortable);
  setDragEnabled(false);
  setMouseTracking(settings.hotTracking);
  viewport()->setAttribute(Qt::WA_Hover, settings.hotTracking);
  setContextMenuPolicy(Qt::NoContextMenu);
  setTextElideMode(Qt::ElideRight);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

  QHeaderView* titles = header();
  titles->setVisible(true);
  titles->setSectionsClickable(true);
  titles->setSectionsMovable(settings.headerDragDrop);
  titles->setSortIndicatorShown(false);
  titles->setHighlightSections(false);
  titles->setStretchLastSection(false);
  titles->setCascadingSectionResizes(false);
  titles->setSectionResizeMode(QHeaderView::Interactive);
  titles->setMinimumSectionSize(0);
  for (std::size_t i = 0; i < settings.columns.size(); ++i) {
    titles->resizeSection(static_cast<int>(i), settings.columns[i].width);
  }

  if (settings.sunkenEdge) {
    // The Windows client edge: two pixels, sunken.
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  } else {
    setFrameStyle(QFrame::NoFrame);
  }

  QPalette colours = palette();
  const QColor text = ToQColor(settings.textColour);
  const QColor textBackground = ToQColor(settings.textBackgroundColour);
  const QColor background = ToQColor(settings.backgroundColour);
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    colours.setColor(group, QPalette::Text, text);
    colours.setColor(group, QPalette::Base, background);
    colours.setColor(group, QPalette::AlternateBase, textBackground);
  }
  if (!settings.showSelectionWithoutFocus) {
    // An inactive window has no focused list, so it shows no selection.
    colours.setColor(QPalette::Inactive, QPalette::Highlight, background);
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText, text);
  }
  setPalette(colours);
  setFont(ToQFont(settings.font));
}

std::int32_t ConnectionListView::AppendRow(const std::string& text) {
  // A hidden list has nothing on screen to keep up to date: its view learns
  // of the new rows all at once, when it is shown.
  if (!isVisible()) model_.BeginQuietFill();
  return model_.AppendRow(text);
}

void ConnectionListView::showEvent(QShowEvent* event) {
  model_.EndQuietFill();
  QTreeView::showEvent(event);
}

void ConnectionListView::SetCellText(std::int32_t row, std::int32_t column,
                                     const std::string& text) {
  model_.SetCellText(row, column, text);
}
