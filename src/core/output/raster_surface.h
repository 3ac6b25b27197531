#pragma once

#include <cstddef>
#include <cstdint>
#include <variant>

#include "system/drawing_surface.h"

namespace globeview {

// Rows of 32-bit pixels 0xffRRGGBB in the machine's byte order, as Qt's Format_RGB32 holds them:
// the window's picture.
struct Rgb32Pixels {
  std::uint8_t* top = nullptr;  // the first byte of row 0
  std::ptrdiff_t stride = 0;    // bytes from one row to the next
  int width = 0;
  int height = 0;
};

// Rows of palette indices of 2, 4 or 8 bits, four, two or one pixel to a byte from the most
// significant bits (a PNG's packing). Index k is the colour palette[k]; a colour not in the palette
// draws as the nearest one that is.
struct PalettePixels {
  std::uint8_t* top = nullptr;
  std::ptrdiff_t stride = 0;
  int width = 0;
  int height = 0;
  const Rgb* palette = nullptr;
  int colours = 0;       // 1 to 2^bitsPerPixel
  int bitsPerPixel = 2;  // 2, 4 or 8
};

// The pixel rasteriser: a DrawingSurface writing one-pixel lines and rings straight into rows of
// pixels. Pixel k has its centre at k x twipsPerPixel twips, so a position goes to the nearest
// pixel centre; the middle of the screen (W/2, H/2) is then the centre of a pixel, and the cross
// and the rings extend the same number of pixels either side of it.
//
// A line lights the pixel of its first end and every pixel up to, but not including, the pixel of
// its last end (one pixel when both ends fall in the same pixel): a coastline then lights each of
// its points once, and the cross's bars are exactly W and H pixels long. Between the end pixels the
// line is an exact integer walk, and clipping to the picture never changes which pixels light.
//
// Nothing is drawn without pixels or for a position that is not a number; every other position,
// however large, is safe.
class RasterSurface final : public DrawingSurface {
 public:
  // No pixels yet: keeps the colours and width set on it and draws nothing until Attach.
  RasterSurface() = default;
  // twipsPerPixel must be a positive number (std::invalid_argument otherwise).
  RasterSurface(Rgb32Pixels pixels, double twipsPerPixel);
  RasterSurface(PalettePixels pixels, double twipsPerPixel);

  // Draws into these pixels from now on; the colours and width stay as they were.
  void Attach(Rgb32Pixels pixels, double twipsPerPixel);
  void Attach(PalettePixels pixels, double twipsPerPixel);

  void BackColor(Rgb colour) override;
  void ForeColor(Rgb colour) override;
  // Lines wider than one pixel are bands of parallel one-pixel lines across their direction.
  void DrawWidth(int pixels) override;
  void Cls() override;
  void Line(float x1, float y1, float x2, float y2) override;
  // A one-pixel ring: for each step along the flatter half of each octant the pixel nearest the
  // true circle, mirrored eight ways, so it is exactly symmetric about its centre pixel.
  void Circle(float x, float y, float radius, Rgb colour) override;
  // Lights every pixel whose centre lies inside the polygon (even-odd), so that polygons sharing
  // an edge light each pixel once.
  void Polygon(std::span<const SurfacePoint> corners, Rgb colour) override;
  // Glyphs of the shared TextFont, its baseline started on the nearest pixel: blended by their
  // coverage on 32-bit pixels; on a palette, in the text's colour where at least half covered, so
  // a text adds no colour to the palette.
  void Text(float x, float y, std::string_view utf8, const TextStyle& style) override;

 private:
  template <class Writer>
  void FillPolygon(const Writer& writer, std::span<const SurfacePoint> corners) const;
  template <class Writer>
  [[gnu::always_inline]] inline void DrawLine(const Writer& writer, double x1, double y1, double x2,
                                              double y2) const;
  [[gnu::noinline]] void PaletteLine(const PalettePixels& pixels, double x1, double y1, double x2,
                                     double y2) const;
  template <class Writer>
  void DrawRing(const Writer& writer, double x, double y, double radius) const;
  void SetScale(double twipsPerPixel);

  std::variant<std::monostate, Rgb32Pixels, PalettePixels> pixels_;
  double scale_ = 0;  // pixels per twip
  Rgb back_{255, 255, 255};
  Rgb fore_{0, 0, 0};
  int width_ = 1;
};

}  // namespace globeview
