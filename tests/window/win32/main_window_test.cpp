// MainWindow as LoadStartWindow builds it: the created event, the window's
// place and styles, its controls, the list's configuration and operations,
// and the keys and the message loop that end it.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "window/win32/list_view.h"
#include "window/win32/main_window.h"
#include "window/win32/program_start.h"
#include "window/win32/window_keys.h"
#include "window_test_support.h"

namespace {

constexpr std::size_t kListIndex = 4;

DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)); }
DWORD ExStyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE)); }

int RowCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

std::string CellText(HWND list, int row, int column) {
  char text[512] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return text;
}

// Every cell of the list, row by row.
std::vector<std::string> AllCells(HWND list) {
  std::vector<std::string> cells;
  for (int row = 0; row < RowCount(list); ++row) {
    for (int column = 0; column < kConnectionListColumnCount; ++column) {
      cells.push_back(CellText(list, row, column));
    }
  }
  return cells;
}

TEST_F(StartedWindowTest, CreatedEventRunsWhileHiddenThenWindowShowsCentred) {
  struct Seen {
    int calls = 0;
    bool windowVisible = true;
    bool listShown = false;
    int rows = -1;
    int columns = -1;
  } seen;
  description_.created = [&seen](ConnectionList& list) {
    ++seen.calls;
    auto* listView = dynamic_cast<ListViewConnectionList*>(&list);
    ASSERT_NE(listView, nullptr);
    HWND window = GetParent(listView->window());
    seen.windowVisible = IsWindowVisible(window) != FALSE;
    // The controls are already shown; only their parent is still hidden.
    seen.listShown = (StyleOf(listView->window()) & WS_VISIBLE) != 0;
    seen.rows = RowCount(listView->window());
    HWND header = reinterpret_cast<HWND>(SendMessageA(listView->window(), LVM_GETHEADER, 0, 0));
    seen.columns = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    list.AppendRow("10.0.0.1");
  };
  ASSERT_NE(Start(), nullptr);

  EXPECT_EQ(seen.calls, 1);
  EXPECT_FALSE(seen.windowVisible);
  EXPECT_TRUE(seen.listShown);
  EXPECT_EQ(seen.rows, 0);
  EXPECT_EQ(seen.columns, kConnectionListColumnCount);

  EXPECT_TRUE(IsWindowVisible(window_));
  EXPECT_FALSE(IsIconic(window_));
  EXPECT_FALSE(IsZoomed(window_));
  EXPECT_EQ(RowCount(Control(kListIndex)), 1);
  RECT outer{};
  GetWindowRect(window_, &outer);
  const Point origin =
      CentredWindowOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 808, 502);
  EXPECT_EQ(outer.left, origin.x);
  EXPECT_EQ(outer.top, origin.y);
  EXPECT_EQ(outer.right - outer.left, 808);
  EXPECT_EQ(outer.bottom - outer.top, 502);
}

TEST_F(StartedWindowTest, CreatedHandlerThatClosesTheWindowLeavesNothingToShow) {
  description_.created = [](ConnectionList& list) {
    auto& listView = dynamic_cast<ListViewConnectionList&>(list);
    DestroyWindow(GetParent(listView.window()));
  };
  EXPECT_EQ(Start(), nullptr);
  EXPECT_EQ(MainWindowCount(), 0);
}

TEST_F(StartedWindowTest, WindowStylesCaptionAndIcons) {
  ASSERT_NE(Start(), nullptr);
  constexpr DWORD kFrameStyles = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_THICKFRAME |
                                 WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_POPUP | WS_CHILD |
                                 WS_DISABLED | WS_VSCROLL | WS_HSCROLL;
  EXPECT_EQ(StyleOf(window_) & kFrameStyles,
            static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN));
  // The system adds the window edge to every captioned window by itself.
  EXPECT_EQ(ExStyleOf(window_) & ~static_cast<DWORD>(WS_EX_WINDOWEDGE), 0u);
  EXPECT_EQ(GetWindow(window_, GW_OWNER), nullptr);
  EXPECT_EQ(GetMenu(window_), nullptr);

  char caption[256] = {};
  GetWindowTextA(window_, caption, sizeof caption);
  EXPECT_STREQ(caption, description_.caption);

  struct Case {
    WPARAM which;
    int size;
  };
  for (const Case& c : {Case{ICON_BIG, 32}, Case{ICON_SMALL, 16}}) {
    SCOPED_TRACE(c.size);
    auto icon = reinterpret_cast<HICON>(SendMessageA(window_, WM_GETICON, c.which, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour{};
    GetObjectA(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, c.size);
    EXPECT_EQ(colour.bmHeight, c.size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  }
}

TEST_F(StartedWindowTest, ControlsAtTheirPlacesInFormAndStackingOrder) {
  ASSERT_NE(Start(), nullptr);
  struct Expected {
    const char* className;
    RECT place;
    bool tabStop;
  };
  const Expected expected[] = {
      {"CorvennaHyperlink", {496, 34, 496 + 249, 34 + 24}, false},
      {"CorvennaPictureBox", {10, 7, 10 + 454, 7 + 60}, false},
      {"CorvennaHyperlink", {397, 13, 397 + 461, 13 + 16}, false},
      {"CorvennaLabel", {193, 439, 193 + 416, 439 + 24}, false},
      {"SysListView32", {8, 67, 8 + 784, 67 + 362}, true},
  };
  const std::vector<HWND> children = ChildrenInStackingOrder(window_);
  ASSERT_EQ(children.size(), std::size(expected));
  for (std::size_t i = 0; i < children.size(); ++i) {
    SCOPED_TRACE(description_.controls[i].name);
    EXPECT_EQ(ClassNameOf(children[i]), expected[i].className);
    const RECT place = PlaceInParent(children[i]);
    EXPECT_EQ(place.left, expected[i].place.left);
    EXPECT_EQ(place.top, expected[i].place.top);
    EXPECT_EQ(place.right, expected[i].place.right);
    EXPECT_EQ(place.bottom, expected[i].place.bottom);
    const DWORD style = StyleOf(children[i]);
    EXPECT_EQ(style & (WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE),
              static_cast<DWORD>(WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE));
    EXPECT_EQ((style & WS_TABSTOP) != 0, expected[i].tabStop);
    EXPECT_EQ(style & WS_DISABLED, 0u);
  }
}

TEST_F(StartedWindowTest, ListIsConfiguredWithItsSevenColumns) {
  ASSERT_NE(Start(), nullptr);
  HWND list = Control(kListIndex);
  EXPECT_EQ(StyleOf(list),
            static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
                               WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL));
  EXPECT_EQ(ExStyleOf(list), static_cast<DWORD>(WS_EX_CLIENTEDGE));
  EXPECT_EQ(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0),
            LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP);
  EXPECT_EQ(SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(SendMessageA(list, LVM_GETTEXTBKCOLOR, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(SendMessageA(list, LVM_GETBKCOLOR, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)),
            GetStockObject(DEFAULT_GUI_FONT));
  for (int which : {LVSIL_NORMAL, LVSIL_SMALL, LVSIL_STATE}) {
    EXPECT_EQ(SendMessageA(list, LVM_GETIMAGELIST, static_cast<WPARAM>(which), 0), 0);
  }
  EXPECT_EQ(RowCount(list), 0);

  struct Column {
    const char* title;  // code page 936 bytes, as the list gives them back
    int width;
  };
  const Column columns[] = {
      {"本地地址", 100}, {"本地端口", 70}, {"远程地址", 100}, {"远程端口", 70},
      {"进程号", 70},    {"状态", 80},     {"路径", 250},
  };
  for (int n = 0; n <= kConnectionListColumnCount; ++n) {
    SCOPED_TRACE(n);
    char title[64] = {};
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.pszText = title;
    column.cchTextMax = sizeof title;
    const LRESULT found = SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(n),
                                       reinterpret_cast<LPARAM>(&column));
    if (n == kConnectionListColumnCount) {
      EXPECT_FALSE(found);
      break;
    }
    ASSERT_TRUE(found);
    EXPECT_STREQ(title, columns[n].title);
    EXPECT_EQ(column.cx, columns[n].width);
    EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    EXPECT_EQ(column.iSubItem, n);
  }
}

// Counts the LVM_SETITEMTEXTA messages that reach the list.
int setItemTextMessages = 0;
WNDPROC listProcedure = nullptr;
LRESULT CALLBACK CountingListProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == LVM_SETITEMTEXTA) ++setItemTextMessages;
  return CallWindowProcA(listProcedure, window, message, wParam, lParam);
}

TEST_F(StartedWindowTest, AppendRowAndSetCellTextWriteTheListOnly) {
  ASSERT_NE(Start(), nullptr);
  ConnectionList* rows = MainWindowConnectionList(window_);
  ASSERT_NE(rows, nullptr);
  HWND list = Control(kListIndex);

  EXPECT_EQ(rows->AppendRow("127.0.0.1"), 0);
  EXPECT_EQ(rows->AppendRow(""), 1);
  EXPECT_EQ(rows->AppendRow(std::string("0.0.0.0")), 2);  // a temporary, gone after the call
  rows->SetCellText(0, 5, "正在监听");
  rows->SetCellText(1, 0, "192.168.1.9");
  rows->SetCellText(2, 6, std::string(300, 'p'));
  EXPECT_EQ(CellText(list, 0, 0), "127.0.0.1");
  EXPECT_EQ(CellText(list, 0, 5), "正在监听");
  EXPECT_EQ(CellText(list, 0, 6), "");
  EXPECT_EQ(CellText(list, 1, 0), "192.168.1.9");
  EXPECT_EQ(CellText(list, 2, 0), "0.0.0.0");
  EXPECT_EQ(CellText(list, 2, 6), std::string(300, 'p'));
  // No row is selected or focused by appending.
  EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);

  // Cells outside the list are not even asked for: row -1 in particular
  // could mean "every row" to some list-view messages.
  const std::vector<std::string> before = AllCells(list);
  listProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingListProcedure)));
  setItemTextMessages = 0;
  struct Cell {
    std::int32_t row, column;
  };
  for (const Cell& cell : {Cell{-1, 0}, Cell{-1, 3}, Cell{0, 7}, Cell{0, -1}, Cell{2, 100}}) {
    SCOPED_TRACE(std::to_string(cell.row) + "," + std::to_string(cell.column));
    rows->SetCellText(cell.row, cell.column, "changed");
  }
  EXPECT_EQ(setItemTextMessages, 0);
  rows->SetCellText(1, 1, "80");
  EXPECT_EQ(setItemTextMessages, 1);
  SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProcedure));

  std::vector<std::string> after = AllCells(list);
  EXPECT_EQ(after[1 * kConnectionListColumnCount + 1], "80");
  after[1 * kConnectionListColumnCount + 1] = "";
  EXPECT_EQ(after, before);
}

TEST(KeyAction, EscAloneClosesTabMovesEnterAndF1DoNothing) {
  struct Case {
    WPARAM key;
    bool shift, ctrl, alt;
    WindowKeyAction action;
  };
  const Case cases[] = {
      {VK_ESCAPE, false, false, false, WindowKeyAction::Close},
      {VK_ESCAPE, true, false, false, WindowKeyAction::PassOn},
      {VK_ESCAPE, false, true, false, WindowKeyAction::PassOn},
      {VK_ESCAPE, false, false, true, WindowKeyAction::PassOn},
      {VK_TAB, false, false, false, WindowKeyAction::NextTabStop},
      {VK_TAB, true, false, false, WindowKeyAction::PreviousTabStop},
      {VK_TAB, false, true, false, WindowKeyAction::PassOn},
      {VK_RETURN, false, false, false, WindowKeyAction::Swallow},
      {VK_F1, false, false, false, WindowKeyAction::Swallow},
      {VK_DOWN, false, false, false, WindowKeyAction::PassOn},
      {'A', false, true, false, WindowKeyAction::PassOn},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.key) + (c.shift ? " shift" : "") + (c.ctrl ? " ctrl" : "") +
                 (c.alt ? " alt" : ""));
    EXPECT_EQ(KeyAction(c.key, c.shift, c.ctrl, c.alt), c.action);
  }
}

// Sets the thread's view of the modifier keys, as the key check reads it.
void SetModifiers(bool shift, bool ctrl) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  keys[VK_CONTROL] = ctrl ? 0x80 : 0;
  keys[VK_MENU] = 0;
  SetKeyboardState(keys);
}

class ModifierReset {
 public:
  ModifierReset() = default;
  ~ModifierReset() { SetModifiers(false, false); }
  ModifierReset(const ModifierReset&) = delete;
  ModifierReset& operator=(const ModifierReset&) = delete;
};

TEST_F(StartedWindowTest, EscClosesWhateverHasTheFocusButNotWithShiftOrCtrl) {
  ASSERT_NE(Start(), nullptr);
  HWND list = Control(kListIndex);
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  ModifierReset reset;
  struct Case {
    const char* name;
    HWND target;
    bool shift, ctrl;
  };
  for (const Case& c : {Case{"shift", list, true, false}, Case{"ctrl", list, false, true},
                        Case{"shift on window", window_, true, false}}) {
    SCOPED_TRACE(c.name);
    SetModifiers(c.shift, c.ctrl);
    PostMessageA(c.target, WM_KEYDOWN, VK_ESCAPE, 0);
    DispatchWaitingMessages();
    EXPECT_TRUE(IsWindow(window_));
  }
  SetModifiers(false, false);
  PostMessageA(header, WM_KEYDOWN, VK_ESCAPE, 0);  // a part of the list has the key
  DispatchWaitingMessages();
  EXPECT_FALSE(IsWindow(window_));
}

TEST_F(StartedWindowTest, EveryWayOfClosingDestroysTheWindowWithItsControls) {
  struct Way {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  const Way ways[] = {
      {"close button or system menu", WM_SYSCOMMAND, SC_CLOSE, 0},
      {"Alt+F4", WM_SYSKEYDOWN, VK_F4, LPARAM{KF_ALTDOWN} << 16},
      {"Esc", WM_KEYDOWN, VK_ESCAPE, 0},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    ASSERT_NE(Start(), nullptr);
    HWND list = Control(kListIndex);
    SetFocus(list);
    PostMessageA(way.message == WM_SYSCOMMAND ? window_ : list, way.message, way.wParam,
                 way.lParam);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window_); }));
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(MainWindowCount(), 0);
  }
}

TEST_F(StartedWindowTest, TabMovesTheFocusToTheListAndEnterLeavesEverything) {
  ASSERT_NE(Start(), nullptr);
  HWND list = Control(kListIndex);
  ModifierReset reset;
  for (bool shift : {false, true}) {
    SCOPED_TRACE(shift ? "shift+tab" : "tab");
    SetFocus(Control(1));  // anything but the list
    SetModifiers(shift, false);
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    DispatchWaitingMessages();
    EXPECT_EQ(GetFocus(), list);
  }
  SetModifiers(false, false);
  for (WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_F1}}) {
    PostMessageA(list, WM_KEYDOWN, key, 0);
    DispatchWaitingMessages();
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_EQ(GetFocus(), list);
  }
}

// Ends a message loop that would otherwise never end.
bool watchdogFired = false;
void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD) {
  watchdogFired = true;
  PostQuitMessage(1);
}

TEST_F(StartedWindowTest, MessageLoopEndsWhenEscHasClosedTheWindow) {
  ASSERT_NE(Start(), nullptr);
  watchdogFired = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20000, Watchdog);
  PostMessageA(Control(kListIndex), WM_KEYDOWN, VK_ESCAPE, 0);
  RunMessageLoop();
  KillTimer(nullptr, timer);
  EXPECT_FALSE(watchdogFired);
  EXPECT_FALSE(IsWindow(window_));
  EXPECT_EQ(MainWindowCount(), 0);
}

TEST(MessageLoop, ReturnsAtOnceWithoutAWindow) {
  ASSERT_EQ(MainWindowCount(), 0);
  watchdogFired = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20000, Watchdog);
  RunMessageLoop();
  KillTimer(nullptr, timer);
  EXPECT_FALSE(watchdogFired);
}

TEST_F(StartedWindowTest, ClosingOutsideTheMessageLoopPostsNoQuit) {
  ASSERT_NE(Start(), nullptr);
  DestroyWindow(window_);
  MSG message{};
  EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

}  // namespace
