// 超级链接框1 and 超级链接框2: a line of text that opens its target in the
// user's browser when the left button is pressed on it. Its colour shows
// whether the pointer is over it and whether the latest open succeeded.
// Never takes the focus.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include "window/qt/target_opener.h"
#include "window/window_description.h"

class Hyperlink : public QWidget {
 public:
  Hyperlink(const HyperlinkSettings& settings, TargetOpener opener, QWidget* parent = nullptr);

  const QString& Text() const { return text_; }
  const QString& Target() const { return target_; }
  bool Hovering() const { return hovering_; }
  bool Visited() const { return visited_; }
  // Hover colour over everything, then visited, then normal.
  QColor TextColour() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void SetHovering(bool hovering);

  QString text_;
  QString target_;
  QColor normalColour_;
  QColor visitedColour_;
  QColor hoverColour_;
  Background background_;
  int textFlags_;
  TargetOpener opener_;
  bool hovering_ = false;
  bool visited_ = false;
};
