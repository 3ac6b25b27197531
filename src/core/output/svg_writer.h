#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "system/drawing_surface.h"

namespace globeview {

// A DrawingSurface that keeps the picture as vectors, for print, and writes it as an SVG document
// of the screen's size in pixels. It holds what the PNG shows: the background, each run of joined
// line segments as one path, each ring as a circle, in the PNG's pixel coordinates (pixel k's
// centre is k x twipsPerPixel twips, the middle of pixel k is k + 1/2 in the document), one-pixel
// lines without smoothing. A line wholly off the screen is left out, as the PNG clips it.
class SvgWriter final : public DrawingSurface {
 public:
  SvgWriter(int widthPixels, int heightPixels, double twipsPerPixel);

  void BackColor(Rgb colour) override;
  void ForeColor(Rgb colour) override;
  void DrawWidth(int pixels) override;
  void Cls() override;
  void Line(float x1, float y1, float x2, float y2) override;
  void Circle(float x, float y, float radius, Rgb colour) override;
  void Polygon(std::span<const SurfacePoint> corners, Rgb colour) override;
  // Real text, which a reader can select and search, in the shared TextFont's family, its
  // baseline where the PNG's is.
  void Text(float x, float y, std::string_view utf8, const TextStyle& style) override;

  // The picture drawn since the last Cls, as a complete SVG document.
  std::string Document() const;

 private:
  struct Point {
    float x;
    float y;
    friend bool operator==(const Point&, const Point&) = default;
  };
  enum class Kind { kPath, kCircle, kPolygon, kText };
  // A path or a polygon (points [first, first + count) of points_), a circle, or a text (texts_
  // [first], its baseline's start at x, y in document units and its size in radius), in twips.
  struct Shape {
    Kind kind;
    Rgb colour;
    int width;
    std::size_t first;
    std::size_t count;
    float x, y, radius;
  };

  // Whether the segment, in the current pen, reaches the document's [0, width] x [0, height].
  bool MeetsScreen(float x1, float y1, float x2, float y2) const;
  // The middle of a path whose points all lie within one pixel's width and height; none for a
  // larger one.
  std::optional<Point> Islet(const Shape& path) const;
  // Twips to the document: pixel k's centre is at k + 1/2.
  double At(float twips) const;
  void AppendCircle(std::string& svg, const Shape& circle) const;
  void AppendPath(std::string& svg, const Shape& path) const;
  void AppendPolygon(std::string& svg, const Shape& polygon) const;
  void AppendText(std::string& svg, const Shape& text) const;

  int widthPixels_;
  int heightPixels_;
  double pixelsPerTwip_;
  Rgb back_{255, 255, 255};
  Rgb fore_{0, 0, 0};
  int width_ = 1;
  bool cleared_ = false;
  Rgb background_{};
  std::vector<Shape> shapes_;
  std::vector<Point> points_;
  std::vector<std::string> texts_;
};

}  // namespace globeview
