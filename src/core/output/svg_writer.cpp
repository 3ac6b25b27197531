#include "output/svg_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "system/numeric.h"
#include "system/text_font.h"

namespace globeview {

namespace {

// Coordinates to a hundredth of a pixel: far finer than any print of the picture shows, and
// a third of the file that full precision would make.
constexpr double kHundredths = 100.0;
// Beyond this a value in hundredths no longer fits the integer formatting below.
constexpr double kLargestHundredths = 1e15;

// "12", "12.5", "-0.25": at most two decimals, no trailing zeros, a period whatever the locale.
void AppendNumber(std::string& out, double value) {
  const double hundredths = std::round(value * kHundredths);
  char buffer[32];
  char* p = buffer;
  if (!(std::fabs(hundredths) < kLargestHundredths)) {
    p = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, p);
    return;
  }
  auto n = static_cast<long long>(hundredths);
  if (n < 0) {
    *p++ = '-';
    n = -n;
  }
  p = std::to_chars(p, buffer + sizeof buffer, n / 100).ptr;
  const auto fraction = static_cast<int>(n % 100);
  if (fraction != 0) {
    *p++ = '.';
    *p++ = static_cast<char>('0' + fraction / 10);
    if (fraction % 10 != 0) *p++ = static_cast<char>('0' + fraction % 10);
  }
  out.append(buffer, p);
}

void AppendColour(std::string& out, Rgb colour) {
  constexpr const char* kHex = "0123456789abcdef";
  out += '#';
  for (const int channel : {colour.r, colour.g, colour.b}) {
    const int c = channel < 0 ? 0 : (channel > 255 ? 255 : channel);
    out += kHex[c / 16];
    out += kHex[c % 16];
  }
}

// A text as XML character data: the markup characters escaped, and what XML cannot hold (control
// characters, bytes that are not UTF-8) as U+FFFD.
void AppendEscaped(std::string& out, std::string_view utf8) {
  for (const char32_t c : DecodeUtf8(utf8)) {
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (c < 0x20 || c == 0x7F || c == 0xFFFE || c == 0xFFFF) {
      out += "\xEF\xBF\xBD";
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      // Back to UTF-8, two to four bytes.
      const int extra = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
      out += static_cast<char>(((0xF00 >> (extra + 1)) & 0xFF) | (c >> (6 * extra)));
      for (int k = extra - 1; k >= 0; --k) out += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
    }
  }
}

}  // namespace

SvgWriter::SvgWriter(int widthPixels, int heightPixels, double twipsPerPixel)
    : widthPixels_(widthPixels),
      heightPixels_(heightPixels),
      pixelsPerTwip_(PixelsPerTwip(twipsPerPixel)) {}

void SvgWriter::BackColor(Rgb colour) {
  back_ = colour;
}

void SvgWriter::ForeColor(Rgb colour) {
  fore_ = colour;
}

void SvgWriter::DrawWidth(int pixels) {
  // A width below one still draws the thinnest line, as on the PNG.
  width_ = pixels < 1 ? 1 : pixels;
}

void SvgWriter::Cls() {
  shapes_.clear();
  points_.clear();
  texts_.clear();
  cleared_ = true;
  background_ = back_;
}

void SvgWriter::Line(float x1, float y1, float x2, float y2) {
  // A position that is not a number has no place on the picture.
  if (!Finite(x1, y1, x2, y2)) return;
  // As on the PNG, a segment wholly off the screen leaves no trace (at a high magnification most of
  // the world's coastlines); one that crosses the edge is kept whole, for the renderer to clip.
  if (!MeetsScreen(x1, y1, x2, y2)) return;
  // A segment starting where the last one ended, in the same pen, continues its path: a coastline
  // becomes one path for as long as its segments are drawn.
  if (!shapes_.empty()) {
    Shape& last = shapes_.back();
    if (last.kind == Kind::kPath && last.colour == fore_ && last.width == width_ &&
        points_.back() == Point{x1, y1}) {
      points_.push_back({x2, y2});
      ++last.count;
      return;
    }
  }
  shapes_.push_back({Kind::kPath, fore_, width_, points_.size(), 2, 0, 0, 0});
  points_.push_back({x1, y1});
  points_.push_back({x2, y2});
}

void SvgWriter::Circle(float x, float y, float radius, Rgb colour) {
  if (!Finite(x, y, radius) || radius < 0) return;
  shapes_.push_back({Kind::kCircle, colour, width_, 0, 0, x, y, radius});
}

void SvgWriter::Polygon(std::span<const SurfacePoint> corners, Rgb colour) {
  if (corners.size() < 3) return;
  for (const SurfacePoint& corner : corners) {
    if (!Finite(corner.x, corner.y)) return;
  }
  shapes_.push_back({Kind::kPolygon, colour, width_, points_.size(), corners.size(), 0, 0, 0});
  for (const SurfacePoint& corner : corners) points_.push_back({corner.x, corner.y});
}

void SvgWriter::Text(float x, float y, std::string_view utf8, const TextStyle& style) {
  if (!Finite(x, y, style.pixelSize) || utf8.empty()) return;
  TextFont& font = TextFont::Shared();
  const TextOrigin origin = TextFont::OriginOf(font.Measure(utf8, style.pixelSize), style.anchor);
  // The PNG's pixel k spans k to k + 1 here, and its glyphs hang from the pixel edge nearest the
  // baseline's start: at k, not at pixel k's centre.
  const auto startX = static_cast<float>(x * pixelsPerTwip_ + origin.x);
  const auto baseY = static_cast<float>(y * pixelsPerTwip_ + origin.y);
  shapes_.push_back({Kind::kText, style.colour, width_, texts_.size(), 0, startX, baseY,
                     static_cast<float>(std::max(1L, std::lround(style.pixelSize)))});
  texts_.emplace_back(utf8);
}

bool SvgWriter::MeetsScreen(float x1, float y1, float x2, float y2) const {
  // A wide pen reaches this many pixels beyond its line, as the raster surface draws it.
  const double reach = width_ / 2;
  const double ax = At(x1), ay = At(y1), dx = At(x2) - ax, dy = At(y2) - ay;
  // Liang and Barsky: the segment is a + t d for t in [t0, t1], cut to the inner side of each edge.
  const double p[] = {-dx, dx, -dy, dy};
  const double q[] = {ax + reach, widthPixels_ + reach - ax, ay + reach,
                      heightPixels_ + reach - ay};
  double t0 = 0, t1 = 1;
  for (int k = 0; k < 4; ++k) {
    if (p[k] == 0) {
      if (q[k] < 0) return false;
    } else if (p[k] < 0) {
      t0 = std::max(t0, q[k] / p[k]);
    } else {
      t1 = std::min(t1, q[k] / p[k]);
    }
  }
  return t0 <= t1;
}

std::optional<SvgWriter::Point> SvgWriter::Islet(const Shape& path) const {
  const Point& first = points_[path.first];
  float left = first.x, right = first.x, top = first.y, bottom = first.y;
  for (std::size_t i = path.first + 1; i < path.first + path.count; ++i) {
    left = std::min(left, points_[i].x);
    right = std::max(right, points_[i].x);
    top = std::min(top, points_[i].y);
    bottom = std::max(bottom, points_[i].y);
  }
  if ((right - left) * pixelsPerTwip_ >= 1 || (bottom - top) * pixelsPerTwip_ >= 1) {
    return std::nullopt;
  }
  return Point{left + (right - left) / 2, top + (bottom - top) / 2};
}

double SvgWriter::At(float twips) const {
  return twips * pixelsPerTwip_ + 0.5;
}

void SvgWriter::AppendCircle(std::string& svg, const Shape& circle) const {
  svg += "<circle cx=\"";
  AppendNumber(svg, At(circle.x));
  svg += "\" cy=\"";
  AppendNumber(svg, At(circle.y));
  svg += "\" r=\"";
  AppendNumber(svg, circle.radius * pixelsPerTwip_);
  svg += "\"/>\n";
}

void SvgWriter::AppendPolygon(std::string& svg, const Shape& polygon) const {
  svg += "<polygon fill=\"";
  AppendColour(svg, polygon.colour);
  svg += "\" stroke=\"none\" fill-rule=\"evenodd\" points=\"";
  for (std::size_t i = polygon.first; i < polygon.first + polygon.count; ++i) {
    if (i > polygon.first) svg += ' ';
    AppendNumber(svg, At(points_[i].x));
    svg += ',';
    AppendNumber(svg, At(points_[i].y));
  }
  svg += "\"/>\n";
}

void SvgWriter::AppendText(std::string& svg, const Shape& text) const {
  svg += "<text x=\"";
  AppendNumber(svg, text.x);
  svg += "\" y=\"";
  AppendNumber(svg, text.y);
  svg += "\" font-family=\"";
  svg += TextFont::Shared().Family();
  svg += "\" font-size=\"";
  AppendNumber(svg, text.radius);
  svg += "\" fill=\"";
  AppendColour(svg, text.colour);
  svg += "\" stroke=\"none\">";
  AppendEscaped(svg, texts_[text.first]);
  svg += "</text>\n";
}

void SvgWriter::AppendPath(std::string& svg, const Shape& path) const {
  svg += "<path d=\"M";
  if (const std::optional<Point> islet = Islet(path)) {
    // The PNG lights the pixel of a run this small; a stroke around it may cover no pixel's
    // centre and vanish where the document is rendered at its own size. A line of almost no
    // length with square ends is an upright square one pixel wide, which always covers one; of
    // no length at all, some renderers leave it out.
    AppendNumber(svg, At(islet->x));
    svg += ' ';
    AppendNumber(svg, At(islet->y));
    svg += "h0.01\"/>\n";
    return;
  }
  AppendNumber(svg, At(points_[path.first].x));
  svg += ' ';
  AppendNumber(svg, At(points_[path.first].y));
  svg += 'L';
  for (std::size_t i = path.first + 1; i < path.first + path.count; ++i) {
    if (i > path.first + 1) svg += ' ';
    AppendNumber(svg, At(points_[i].x));
    svg += ' ';
    AppendNumber(svg, At(points_[i].y));
  }
  svg += "\"/>\n";
}

std::string SvgWriter::Document() const {
  std::string svg;
  // Each point takes about 16 characters.
  svg.reserve(512 + points_.size() * 16 + shapes_.size() * 16);
  const std::string width = std::to_string(widthPixels_);
  const std::string height = std::to_string(heightPixels_);
  svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + width + "\" height=\"" + height +
         "\" viewBox=\"0 0 " + width + ' ' + height + "\" shape-rendering=\"crispEdges\">\n";
  if (cleared_) {
    svg += "<rect width=\"" + width + "\" height=\"" + height + "\" fill=\"";
    AppendColour(svg, background_);
    svg += "\"/>\n";
  }
  svg += "<g fill=\"none\" stroke-linecap=\"square\" stroke-linejoin=\"round\">\n";
  // One group for each run of shapes in the same pen.
  const Shape* group = nullptr;
  for (const Shape& shape : shapes_) {
    if (group == nullptr || !(shape.colour == group->colour) || shape.width != group->width) {
      if (group != nullptr) svg += "</g>\n";
      svg += "<g stroke=\"";
      AppendColour(svg, shape.colour);
      svg += "\" stroke-width=\"" + std::to_string(shape.width) + "\">\n";
      group = &shape;
    }
    switch (shape.kind) {
      case Kind::kCircle:
        AppendCircle(svg, shape);
        break;
      case Kind::kPath:
        AppendPath(svg, shape);
        break;
      case Kind::kPolygon:
        AppendPolygon(svg, shape);
        break;
      case Kind::kText:
        AppendText(svg, shape);
        break;
    }
  }
  if (group != nullptr) svg += "</g>\n";
  svg += "</g>\n</svg>\n";
  return svg;
}

}  // namespace globeview
