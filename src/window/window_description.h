// The main window as data: its settings and its five controls in form order
// (which is also the stacking order, first on top). The Win32 and the Qt
// front ends both build the window from this one table and hard-code no
// place, text or colour of their own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <variant>

#include "listing/connection_list.h"

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A background is either the system's button-face colour, read whenever it
// is painted, or nothing (the control draws only its text).
enum class Background { ButtonFace, Transparent };

struct Place {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// Text layout flags, one to one with the Win32 DT_ flags of the same names.
enum TextFormat : unsigned {
  kTextLeft = 1u << 0,        // DT_LEFT
  kTextCenter = 1u << 1,      // DT_CENTER
  kTextVCenter = 1u << 2,     // DT_VCENTER
  kTextSingleLine = 1u << 3,  // DT_SINGLELINE
  kTextNoClip = 1u << 4,      // DT_NOCLIP
  kTextNoPrefix = 1u << 5,    // DT_NOPREFIX
};

struct FontDescription {
  bool defaultGuiFont = false;  // the system's DEFAULT_GUI_FONT; the fields below are then unused
  const char* face = "";
  int height = 0;  // character height in pixels
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
};

struct PictureBoxSettings {
  const unsigned char* jpeg = nullptr;  // baseline JPEG, drawn at natural size at (0, 0)
  std::size_t jpegSize = 0;
  Background background = Background::ButtonFace;
  bool border = false;
};

struct LabelSettings {
  const char* text = "";
  FontDescription font;
  Rgb textColour;
  Background textBackground = Background::Transparent;
  Background background = Background::ButtonFace;
  unsigned format = 0;
  bool border = false;
};

struct HyperlinkSettings {
  const char* text = "";
  const char* target = "";
  Rgb normalColour;
  Rgb visitedColour;
  Rgb hoverColour;
  Background background = Background::ButtonFace;
  FontDescription font;
  unsigned format = 0;
  bool handPointer = true;
  bool border = false;
};

struct ListColumnDescription {
  const char* title = "";
  int width = 0;  // pixels
  bool leftAligned = true;
};

struct ReportListSettings {
  std::array<ListColumnDescription, kConnectionListColumnCount> columns;
  Rgb textColour;
  Rgb textBackgroundColour;
  Rgb backgroundColour;
  FontDescription font;
  bool singleSelection = true;
  bool fullRowSelection = false;
  bool showSelectionWithoutFocus = false;
  bool gridLines = false;
  bool sortable = false;
  bool editable = false;
  bool headerDragDrop = false;
  bool checkBoxes = false;
  bool hotTracking = false;
  bool sunkenEdge = true;
  bool infoTips = true;
};

enum class ControlKind { Hyperlink, PictureBox, Label, ReportList };

struct ControlDescription {
  const char* name = "";
  ControlKind kind = ControlKind::Label;
  Place place;
  bool visible = true;
  bool disabled = false;
  bool tabStop = false;
  std::variant<HyperlinkSettings, PictureBoxSettings, LabelSettings, ReportListSettings> settings;
};

// Runs once, while the window is still hidden, with the window's report list.
using CreatedHandler = std::function<void(ConnectionList&)>;

struct WindowDescription {
  const char* caption = "";
  int outerWidth = 0;  // frame and caption included
  int outerHeight = 0;
  int storedLeft = 0;  // kept with the form, unused: the window starts centred
  int storedTop = 0;
  bool centred = true;
  bool visible = true;
  bool disabled = false;
  bool resizable = false;
  bool minimiseBox = false;
  bool maximiseBox = false;
  bool movable = true;
  bool escapeCloses = true;
  Background background = Background::ButtonFace;
  const char* iconResource = "";
  std::array<ControlDescription, 5> controls;
  CreatedHandler created;
};

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Top-left corner that centres a window of the given outer size on the
// screen: signed division truncating toward zero, not clamped to the screen.
Point CentredWindowOrigin(int screenWidth, int screenHeight, int windowWidth, int windowHeight);

// The program's one window, its created event bound to FillConnectionList.
const WindowDescription& MainWindowDescription();

// The control of that kind in `window` (each kind occurs once in the main
// window except hyperlinks, for which the first is returned).
const ControlDescription& FindControl(const WindowDescription& window, ControlKind kind);
