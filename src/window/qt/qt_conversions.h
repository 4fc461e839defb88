// The window description's portable values (UTF-8 texts, RGB triples, DT_
// style text flags, Windows font settings) turned into their Qt forms.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>
#include <string>

#include "window/window_description.h"

// Texts in the description are UTF-8, the Linux system's 8-bit encoding.
QString FromUtf8Text(const char* text);
QString FromUtf8Text(const std::string& text);

QColor ToQColor(Rgb colour);

// Qt::AlignmentFlag and Qt::TextFlag bits for QPainter::drawText.
int ToQtTextFlags(unsigned format);

// The description's font: the desktop's default GUI font, or a named
// Windows face mapped to the Linux faces that stand in for it.
QFont ToQFont(const FontDescription& font);

// The colour every default background takes, read from the palette each
// time a background is painted.
QColor ButtonFaceColour(const QPalette& palette);
