// 图片框1: a banner picture at its natural size in the top-left corner, on
// the button-face background. Takes no input.
#pragma once

#include <QImage>
#include <QWidget>

#include "window/window_description.h"

class PictureBox : public QWidget {
 public:
  PictureBox(const PictureBoxSettings& settings, QWidget* parent = nullptr);

  // Null when the picture could not be decoded: only the background shows.
  const QImage& Picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Background background_;
  QImage picture_;
};
