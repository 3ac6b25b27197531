#pragma once

#include <QPainter>

#include "system/drawing_surface.h"

namespace globeview {

// The drawing surface over a QPainter: Qt's own drawing of the same calls, for any paint device
// (a widget, an image, a printer). Lines and rings are aliased, one pixel thin, on the pixel
// centres the rasteriser uses (pixel k's centre k x twipsPerPixel twips in); texts are Qt's, in the
// shared TextFont's family and size, their baselines placed by its measure as on every surface.
class QtPainterSurface final : public DrawingSurface {
 public:
  // twipsPerPixel must be a positive number (std::invalid_argument otherwise).
  QtPainterSurface(QPainter& painter, double twipsPerPixel);

  void BackColor(Rgb colour) override;
  void ForeColor(Rgb colour) override;
  void DrawWidth(int pixels) override;
  void Cls() override;
  void Line(float x1, float y1, float x2, float y2) override;
  void Circle(float x, float y, float radius, Rgb colour) override;
  void Polygon(std::span<const SurfacePoint> corners, Rgb colour) override;
  void Text(float x, float y, std::string_view utf8, const TextStyle& style) override;

 private:
  // A position in twips to the painter's, where pixel k spans k to k + 1.
  QPointF At(float x, float y) const;
  void SetPen(Rgb colour);

  QPainter& painter_;
  double scale_;  // pixels per twip
  Rgb back_{255, 255, 255};
  Rgb fore_{0, 0, 0};
  int width_ = 1;
};

}  // namespace globeview
