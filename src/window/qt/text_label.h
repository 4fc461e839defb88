// 标签1: one fixed text drawn in the description's font, colour and layout
// on the button-face background. Takes no input.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include "window/window_description.h"

class TextLabel : public QWidget {
 public:
  TextLabel(const LabelSettings& settings, QWidget* parent = nullptr);

  const QString& Text() const { return text_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  QColor textColour_;
  Background textBackground_;
  Background background_;
  int textFlags_;
};
