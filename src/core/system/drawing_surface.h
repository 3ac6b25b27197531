#pragma once

// The drawing operations of the window that the globe drawing uses. Coordinates and lengths are in
// twips (1/1440 inch) from the top left of the drawing area, y downwards; widths are in pixels.

#include <cmath>
#include <span>
#include <stdexcept>
#include <string_view>

namespace globeview {

// Twips in an inch: the unit of every position and length the drawing works in.
inline constexpr double kTwipsPerInch = 1440.0;
// Twips in a pixel of an ordinary 96 DPI screen, the screen globeview-render draws for.
inline constexpr double kTwipsPerPixelAt96Dpi = kTwipsPerInch / 96;

// Pixels in a twip on a surface of `twipsPerPixel` twips to the pixel; throws std::invalid_argument
// unless that is a positive number, the one scale a surface can draw at.
inline double PixelsPerTwip(double twipsPerPixel) {
  if (!(twipsPerPixel > 0) || !std::isfinite(twipsPerPixel)) {
    throw std::invalid_argument("twips per pixel must be a positive number");
  }
  return 1.0 / twipsPerPixel;
}

struct Rgb {
  int r = 0;
  int g = 0;
  int b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A corner of a filled shape, twips.
struct SurfacePoint {
  float x = 0;
  float y = 0;
};

// Which point of a text's box its position names: the box runs from the font's ascent above the
// baseline to its descent below, and from the first glyph's origin to the last one's advance.
enum class TextAnchor {
  kTopLeft,
  kTop,
  kTopRight,
  kLeft,
  kCentre,
  kRight,
  kBottomLeft,
  kBottom,
  kBottomRight
};

// How a text is drawn: its size in pixels (the font's em) and its colour.
struct TextStyle {
  double pixelSize = 12;
  Rgb colour{255, 255, 255};
  TextAnchor anchor = TextAnchor::kTopLeft;
};

class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;

  virtual void BackColor(Rgb colour) = 0;
  // Colour of the lines drawn after this call.
  virtual void ForeColor(Rgb colour) = 0;
  // Width in pixels of the lines drawn after this call; 1 until set.
  virtual void DrawWidth(int pixels) = 0;
  // Clears the whole drawing area to the background colour.
  virtual void Cls() = 0;
  virtual void Line(float x1, float y1, float x2, float y2) = 0;
  // A circle outline in the given colour; the foreground colour is left alone.
  virtual void Circle(float x, float y, float radius, Rgb colour) = 0;
  // A polygon filled in the given colour (the even-odd rule); its outline is not drawn. Fewer
  // than three corners draw nothing.
  virtual void Polygon(std::span<const SurfacePoint> corners, Rgb colour) = 0;
  // A line of UTF-8 text at (x, y), placed by the style's anchor. The foreground colour is left
  // alone.
  virtual void Text(float x, float y, std::string_view utf8, const TextStyle& style) = 0;
};

}  // namespace globeview
