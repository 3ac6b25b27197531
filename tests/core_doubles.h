#pragma once

// Doubles of the core's interfaces: no Qt and nothing of the desktop part.

#include <functional>
#include <string>
#include <vector>

#include "system/desktop.h"
#include "system/drawing_surface.h"

namespace globeview::test {

// One call made on a RecordingSurface.
struct SurfaceOp {
  enum Kind { BackColor, ForeColor, DrawWidth, Cls, Line, Circle, Polygon, Text } kind;
  Rgb colour{};                      // BackColor, ForeColor, Circle, Polygon, Text
  int width = 0;                     // DrawWidth; Polygon: corners
  float a = 0, b = 0, c = 0, d = 0;  // Line: x1 y1 x2 y2; Circle: x y radius; Text: x y size
  std::string text{};                // Text
};

// Records every drawing call, in order, instead of drawing.
class RecordingSurface final : public DrawingSurface {
 public:
  void BackColor(Rgb colour) override { ops.push_back({SurfaceOp::BackColor, colour}); }
  void ForeColor(Rgb colour) override { ops.push_back({SurfaceOp::ForeColor, colour}); }
  void DrawWidth(int pixels) override { ops.push_back({SurfaceOp::DrawWidth, {}, pixels}); }
  void Cls() override { ops.push_back({SurfaceOp::Cls}); }
  void Line(float x1, float y1, float x2, float y2) override {
    ops.push_back({SurfaceOp::Line, {}, 0, x1, y1, x2, y2});
  }
  void Circle(float x, float y, float radius, Rgb colour) override {
    ops.push_back({SurfaceOp::Circle, colour, 0, x, y, radius});
  }
  void Polygon(std::span<const SurfacePoint> corners, Rgb colour) override {
    ops.push_back({SurfaceOp::Polygon, colour, static_cast<int>(corners.size())});
  }
  void Text(float x, float y, std::string_view utf8, const TextStyle& style) override {
    ops.push_back({SurfaceOp::Text, style.colour, 0, x, y, static_cast<float>(style.pixelSize), 0,
                   std::string(utf8)});
  }

  std::vector<SurfaceOp> OpsOfKind(SurfaceOp::Kind kind) const {
    std::vector<SurfaceOp> found;
    for (const auto& op : ops)
      if (op.kind == kind) found.push_back(op);
    return found;
  }

  std::vector<SurfaceOp> ops;
};

// A screen of a given size in twips that records pointer changes, event passes and maximising.
class FakeDesktop final : public Desktop {
 public:
  FakeDesktop(double width, double height) : width_(width), height_(height) {}

  double ScreenWidth() const override { return width_; }
  double ScreenHeight() const override { return height_; }
  void SetMousePointer(MousePointer pointer) override { pointers.push_back(pointer); }
  void DoEvents() override {
    ++eventPasses;
    if (onEvents) onEvents();
  }
  void MaximiseWindow() override { ++maximised; }

  std::vector<MousePointer> pointers;
  int eventPasses = 0;
  int maximised = 0;
  // Runs inside the event pass: stands for the events that were waiting.
  std::function<void()> onEvents;

 private:
  double width_;
  double height_;
};

}  // namespace globeview::test
