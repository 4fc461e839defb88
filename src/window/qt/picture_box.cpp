#include "window/qt/picture_box.h"

#include <QPainter>

#include "window/jpeg_image.h"
#include "window/qt/qt_conversions.h"

namespace {

// Decoded once, when the box is made.
QImage DecodePicture(const PictureBoxSettings& settings) {
  const std::optional<RgbImage> decoded = DecodeJpeg(settings.jpeg, settings.jpegSize);
  if (!decoded) return {};
  // The decoder's rows are packed, three bytes a pixel; copy() detaches the
  // image from the decoder's buffer.
  return QImage(decoded->pixels.data(), decoded->width, decoded->height,
                qsizetype{decoded->width} * 3, QImage::Format_RGB888)
      .copy();
}

}  // namespace

PictureBox::PictureBox(const PictureBoxSettings& settings, QWidget* parent)
    : QWidget(parent), background_(settings.background), picture_(DecodePicture(settings)) {
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent, background_ == Background::ButtonFace);
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (background_ == Background::ButtonFace) {
    painter.fillRect(rect(), ButtonFaceColour(palette()));
  }
  if (!picture_.isNull()) painter.drawImage(QPoint(0, 0), picture_);
}
