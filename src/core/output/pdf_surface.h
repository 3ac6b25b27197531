#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "system/drawing_surface.h"

namespace globeview {

// A DrawingSurface that draws one PDF page through cairo: lines, rings and filled shapes as
// vectors, texts as real text in the shared TextFont's family (cairo embeds the subset of the
// font they use), placed by TextFont's measure as on the other surfaces. Positions are twips from
// the origin set by PlaceOrigin; a pixel (line widths, text sizes) is twipsPerPixel twips.
class PdfSurface final : public DrawingSurface {
 public:
  // A page of the given size in twips; throws std::invalid_argument for a twipsPerPixel that is
  // not positive, std::bad_alloc when cairo cannot make the page.
  PdfSurface(double widthTwips, double heightTwips, double twipsPerPixel);
  ~PdfSurface() override;
  PdfSurface(const PdfSurface&) = delete;
  PdfSurface& operator=(const PdfSurface&) = delete;

  void BackColor(Rgb colour) override;
  void ForeColor(Rgb colour) override;
  void DrawWidth(int pixels) override;
  // Clears the whole page, wherever the origin is.
  void Cls() override;
  void Line(float x1, float y1, float x2, float y2) override;
  void Circle(float x, float y, float radius, Rgb colour) override;
  void Polygon(std::span<const SurfacePoint> corners, Rgb colour) override;
  void Text(float x, float y, std::string_view utf8, const TextStyle& style) override;

  // Where position (0, 0) of what is drawn next lies on the page, twips from its top left.
  void PlaceOrigin(double xTwips, double yTwips);

  // The page as a complete PDF document; the surface draws nothing after it. Empty when cairo
  // failed.
  std::string Finish();

 private:
  struct Cairo;
  // Strokes the run of joined lines drawn so far, if any.
  void StrokePath();

  std::unique_ptr<Cairo> cairo_;
  std::string document_;
  double twipsPerPixel_;
  Rgb back_{255, 255, 255};
  Rgb fore_{0, 0, 0};
  int width_ = 1;
  bool pathOpen_ = false;
  float lastX_ = 0;
  float lastY_ = 0;
};

}  // namespace globeview
