#include "window/qt/hyperlink.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <utility>

#include "window/qt/qt_conversions.h"

Hyperlink::Hyperlink(const HyperlinkSettings& settings, TargetOpener opener, QWidget* parent)
    : QWidget(parent),
      text_(FromUtf8Text(settings.text)),
      target_(FromUtf8Text(settings.target)),
      normalColour_(ToQColor(settings.normalColour)),
      visitedColour_(ToQColor(settings.visitedColour)),
      hoverColour_(ToQColor(settings.hoverColour)),
      background_(settings.background),
      textFlags_(ToQtTextFlags(settings.format)),
      opener_(std::move(opener)) {
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(true);
  setFont(ToQFont(settings.font));
  if (settings.handPointer) setCursor(Qt::PointingHandCursor);
}

QColor Hyperlink::TextColour() const {
  if (hovering_) return hoverColour_;
  return visited_ ? visitedColour_ : normalColour_;
}

void Hyperlink::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (background_ == Background::ButtonFace) {
    painter.fillRect(rect(), ButtonFaceColour(palette()));
  }
  painter.setPen(TextColour());
  painter.drawText(rect(), textFlags_, text_);
}

void Hyperlink::SetHovering(bool hovering) {
  if (hovering_ == hovering) return;
  hovering_ = hovering;
  update();
}

void Hyperlink::enterEvent(QEnterEvent*) { SetHovering(true); }

void Hyperlink::leaveEvent(QEvent*) { SetHovering(false); }

void Hyperlink::mouseMoveEvent(QMouseEvent* event) {
  SetHovering(rect().contains(event->position().toPoint()));
}

void Hyperlink::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  // An empty target fails without asking the opener.
  visited_ = !target_.isEmpty() && opener_ && opener_(target_);
  update();
}

// Qt reports the second press of a double click here, and the base class
// would treat it as one more press: the target opens once per double click.
void Hyperlink::mouseDoubleClickEvent(QMouseEvent*) {}
