#pragma once

#include "system/desktop.h"
#include "system/drawing_surface.h"

class QScreen;
class QWidget;

namespace globeview {

// The screen a window is on, and that window, through Qt.
class QtDesktop final : public Desktop {
 public:
  explicit QtDesktop(QWidget& window) : window_(window) {}
  ~QtDesktop() override;
  QtDesktop(const QtDesktop&) = delete;
  QtDesktop& operator=(const QtDesktop&) = delete;

  // The screen's size in logical pixels at its logical DPI, in twips.
  double ScreenWidth() const override;
  double ScreenHeight() const override;
  // The busy pointer is an application-wide override cursor; setting the pointer it already shows
  // changes nothing, so the override stack never holds more than one entry of ours.
  void SetMousePointer(MousePointer pointer) override;
  void DoEvents() override;
  // Shows the window full screen.
  void MaximiseWindow() override;

 private:
  QScreen* Screen() const;

  QWidget& window_;
  bool busy_ = false;
};

}  // namespace globeview
