#include "window/win32/list_view.h"

#include <commctrl.h>

#include <cstddef>

#include "window/win32/child_window.h"
#include "window/win32/drawing.h"

namespace {

bool RegisterListViewClass() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_LISTVIEW_CLASSES;
  return InitCommonControlsEx(&controls) != FALSE;
}

DWORD ListStyle(const ControlDescription& control, const ReportListSettings& settings) {
  DWORD style = ChildStyle(control) | WS_CLIPCHILDREN | LVS_REPORT;
  if (settings.singleSelection) style |= LVS_SINGLESEL;
  if (settings.showSelectionWithoutFocus) style |= LVS_SHOWSELALWAYS;
  if (settings.editable) style |= LVS_EDITLABELS;
  return style;
}

DWORD ExtendedListStyle(const ReportListSettings& settings) {
  DWORD style = LVS_EX_SUBITEMIMAGES;
  if (settings.infoTips) style |= LVS_EX_INFOTIP;
  if (settings.fullRowSelection) style |= LVS_EX_FULLROWSELECT;
  if (settings.gridLines) style |= LVS_EX_GRIDLINES;
  if (settings.headerDragDrop) style |= LVS_EX_HEADERDRAGDROP;
  if (settings.checkBoxes) style |= LVS_EX_CHECKBOXES;
  if (settings.hotTracking) style |= LVS_EX_TRACKSELECT;
  return style;
}

// Sunken 3-D client edge and no other border, redrawn in place.
void GiveSunkenEdge(HWND list) {
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(list, GWL_EXSTYLE));
  const DWORD newExStyle =
      (exStyle | WS_EX_CLIENTEDGE) & ~static_cast<DWORD>(WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME);
  SetWindowLongPtrA(list, GWL_EXSTYLE, static_cast<LONG_PTR>(newExStyle));
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(list, GWL_STYLE));
  SetWindowLongPtrA(list, GWL_STYLE, static_cast<LONG_PTR>(style & ~static_cast<DWORD>(WS_BORDER)));
  SetWindowPos(list, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
}

void InsertColumns(HWND list, const ReportListSettings& settings) {
  for (std::size_t n = 0; n < settings.columns.size(); ++n) {
    const ListColumnDescription& description = settings.columns[n];
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = description.leftAligned ? LVCFMT_LEFT : LVCFMT_RIGHT;
    column.cx = description.width;
    // The message only reads the title.
    column.pszText = const_cast<char*>(description.title);
    column.iSubItem = static_cast<int>(n);
    SendMessageA(list, LVM_INSERTCOLUMNA, n, reinterpret_cast<LPARAM>(&column));
  }
}

}  // namespace

HWND CreateConnectionListView(HWND parent, const ControlDescription& control) {
  if (!RegisterListViewClass()) return nullptr;
  const auto& settings = std::get<ReportListSettings>(control.settings);
  HWND list =
      CreateWindowExA(0, WC_LISTVIEWA, control.name, ListStyle(control, settings),
                      control.place.left, control.place.top, control.place.width,
                      control.place.height, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (list == nullptr) return nullptr;

  // Mask 0 stands for every bit: the extended style becomes exactly this value.
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               static_cast<LPARAM>(ExtendedListStyle(settings)));
  // The list's font is the system's stock GUI font, which nobody frees.
  SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  SendMessageA(list, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ToColorRef(settings.textColour)));
  SendMessageA(list, LVM_SETTEXTBKCOLOR, 0,
               static_cast<LPARAM>(ToColorRef(settings.textBackgroundColour)));
  SendMessageA(list, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ToColorRef(settings.backgroundColour)));
  if (settings.sunkenEdge) GiveSunkenEdge(list);
  InsertColumns(list, settings);
  SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
  return list;
}

std::int32_t ListViewConnectionList::AppendRow(const std::string& text) {
  const auto count = static_cast<int>(SendMessageA(listView_, LVM_GETITEMCOUNT, 0, 0));
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE | LVIF_INDENT | LVIF_PARAM;
  item.iItem = count;
  item.iSubItem = 0;
  // The list copies the text before the message returns.
  item.pszText = const_cast<char*>(text.c_str());
  item.iImage = -1;
  item.state = 0;
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.iIndent = 0;
  item.lParam = 0;
  return static_cast<std::int32_t>(
      SendMessageA(listView_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void ListViewConnectionList::SetCellText(std::int32_t row, std::int32_t column,
                                         const std::string& text) {
  if (row < 0 || column < 0 || column >= kConnectionListColumnCount) return;
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(listView_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&item));
}
