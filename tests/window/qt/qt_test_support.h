// Helpers shared by the Qt window tests.
#pragma once

#include <QApplication>
#include <QColor>
#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdlib>
#include <memory>

#include "window/qt/main_window.h"
#include "window/qt/program_start.h"
#include "window/window_description.h"

// The program's own window description, its created handler replaced so
// that no test depends on the machine's connections.
inline WindowDescription TestWindowDescription(CreatedHandler created = nullptr) {
  WindowDescription description = MainWindowDescription();
  description.created = std::move(created);
  return description;
}

// Deletes what a closed window left for deletion.
inline void ProcessDeferredDeletes() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A window that is closed and deleted at the end of the test, unless the
// test closed it first.
class WindowGuard {
 public:
  explicit WindowGuard(MainWindow* window) : window_(window), alive_(window) {}
  ~WindowGuard() {
    if (!alive_.isNull()) window_->close();
    ProcessDeferredDeletes();
    if (!alive_.isNull()) delete window_;
  }
  WindowGuard(const WindowGuard&) = delete;
  WindowGuard& operator=(const WindowGuard&) = delete;
  MainWindow* operator->() const { return window_; }
  MainWindow* get() const { return window_; }

 private:
  MainWindow* window_;
  QPointer<MainWindow> alive_;
};

template <typename Control>
Control* FindControlWidget(const QWidget& window, const char* name) {
  return window.findChild<Control*>(QString::fromUtf8(name));
}

inline QImage Grab(QWidget& widget) { return widget.grab().toImage(); }

inline QColor PixelAt(const QImage& image, int x, int y) { return QColor(image.pixel(x, y)); }

inline bool ColourNear(const QColor& a, const QColor& b, int tolerance) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

// True when the image holds at least one pixel within `tolerance` of
// `colour` in every channel.
inline bool HasPixelNear(const QImage& image, const QColor& colour, int tolerance) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (ColourNear(QColor(image.pixel(x, y)), colour, tolerance)) return true;
    }
  }
  return false;
}
