#pragma once

#include "system/desktop.h"

namespace globeview {

// A screen of a fixed size and nothing else: no pointer to change, no events to handle, no window
// to maximise. What globeview-render and the benchmarks draw against.
class HeadlessDesktop final : public Desktop {
 public:
  HeadlessDesktop(double widthTwips, double heightTwips)
      : width_(widthTwips), height_(heightTwips) {}

  double ScreenWidth() const override { return width_; }
  double ScreenHeight() const override { return height_; }
  void SetMousePointer(MousePointer) override {}
  void DoEvents() override {}
  void MaximiseWindow() override {}

 private:
  double width_;
  double height_;
};

}  // namespace globeview
