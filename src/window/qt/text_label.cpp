#include "window/qt/text_label.h"

#include <QPainter>

#include "window/qt/qt_conversions.h"

TextLabel::TextLabel(const LabelSettings& settings, QWidget* parent)
    : QWidget(parent),
      text_(FromUtf8Text(settings.text)),
      textColour_(ToQColor(settings.textColour)),
      textBackground_(settings.textBackground),
      background_(settings.background),
      textFlags_(ToQtTextFlags(settings.format)) {
  setFocusPolicy(Qt::NoFocus);
  setFont(ToQFont(settings.font));
}

void TextLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (background_ == Background::ButtonFace) {
    painter.fillRect(rect(), ButtonFaceColour(palette()));
  }
  if (textBackground_ == Background::ButtonFace) {
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(ButtonFaceColour(palette()));
  }
  painter.setPen(textColour_);
  painter.drawText(rect(), textFlags_, text_);
}
