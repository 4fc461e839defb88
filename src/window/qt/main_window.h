// MainWindow: the program's one window, built from its window description.
// A fixed-size captioned window with a close button only, on the
// button-face background, holding the description's controls at their
// places and in their stacking order.
#pragma once

#include <QSize>
#include <QWidget>

#include "window/qt/connection_list_view.h"
#include "window/qt/target_opener.h"
#include "window/window_description.h"

class MainWindow : public QWidget {
 public:
  // Created hidden, with every control made and marked as its description
  // says. `opener` opens the hyperlinks' targets.
  explicit MainWindow(const WindowDescription& description,
                      const TargetOpener& opener = OpenTargetInBrowser);
  ~MainWindow() override;

  // The window's report list; null when its description has none.
  ConnectionListView* List() const { return list_; }

  // Moves the window so that its outer rectangle, frame included, is centred
  // on the primary screen.
  void MoveToCentre();

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* MakeControl(const ControlDescription& control, const TargetOpener& opener);
  bool HandleKey(const QKeyEvent& key);

  QSize describedOuterSize_;
  bool escapeCloses_;
  ConnectionListView* list_ = nullptr;
};

// The client area a Windows window of the given outer size has with a fixed
// single frame and a caption bar, at 96 DPI: the places of the controls are
// counted from its top-left corner.
QSize ClientSizeOfCaptionedWindow(int outerWidth, int outerHeight);
