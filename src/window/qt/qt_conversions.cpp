#include "window/qt/qt_conversions.h"

#include <QApplication>
#include <QStringList>

namespace {

// Windows' DEFAULT_GUI_FONT on a Chinese system draws 9-point 宋体, 12 pixels
// high at 96 DPI; below that size Chinese characters are no longer readable.
constexpr int kDefaultGuiFontPixels = 12;

// Linux faces that stand in for the Windows faces the description names,
// best first. AR PL UMing is the Song-style face the setup installs.
void RegisterWindowsFaceSubstitutes() {
  static const bool registered = [] {
    const QStringList song{QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW"),
                           QStringLiteral("WenQuanYi Zen Hei")};
    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               QStringList{QStringLiteral("SimSun")} + song);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), song);
    return true;
  }();
  (void)registered;
}

// CJK faces tried for every character the first face lacks.
QStringList CjkFallbackFamilies() {
  return {QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("AR PL UMing CN")};
}

}  // namespace

QString FromUtf8Text(const char* text) { return QString::fromUtf8(text); }

QString FromUtf8Text(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QColor ToQColor(Rgb colour) { return QColor(colour.red, colour.green, colour.blue); }

int ToQtTextFlags(unsigned format) {
  int flags = 0;
  if ((format & kTextCenter) != 0) {
    flags |= Qt::AlignHCenter;
  } else {
    flags |= Qt::AlignLeft;
  }
  flags |= (format & kTextVCenter) != 0 ? Qt::AlignVCenter : Qt::AlignTop;
  if ((format & kTextSingleLine) != 0) flags |= Qt::TextSingleLine;
  if ((format & kTextNoClip) != 0) flags |= Qt::TextDontClip;
  // Without DT_NOPREFIX an ampersand marks the next character as a mnemonic.
  if ((format & kTextNoPrefix) == 0) flags |= Qt::TextShowMnemonic;
  return flags;
}

QFont ToQFont(const FontDescription& description) {
  RegisterWindowsFaceSubstitutes();
  QFont font;
  if (description.defaultGuiFont) {
    font = QApplication::font();
    font.setFamilies(QStringList{font.family()} + CjkFallbackFamilies());
    font.setPixelSize(kDefaultGuiFontPixels);
    return font;
  }
  // Only the face itself: its substitutes come right after it, before any fallback.
  font.setFamily(FromUtf8Text(description.face));
  font.setPixelSize(description.height);
  // Windows weights run 100 to 900 in the same steps as QFont::Weight.
  font.setWeight(static_cast<QFont::Weight>(description.weight));
  font.setItalic(description.italic);
  font.setUnderline(description.underline);
  font.setStrikeOut(description.strikeOut);
  // Windows draws small Song faces from their embedded bitmaps: one-pixel
  // strokes, unsmoothed. Smoothed outlines of the stand-in face at this size
  // come out pale and blurred.
  font.setStyleStrategy(QFont::NoAntialias);
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

QColor ButtonFaceColour(const QPalette& palette) { return palette.color(QPalette::Button); }
