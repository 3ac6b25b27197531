#include "output/raster_surface.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

#include "system/numeric.h"
#include "system/text_font.h"

namespace globeview {

namespace {

using Long = std::int64_t;
// The clipping below multiplies two coordinates; 128 bits hold the product of any two within
// kMostPixel.
__extension__ typedef __int128 Wide;

// End pixels up to this far from the origin are walked exactly (twice the longest walk still fits
// 63 bits). Ends farther out come only from absurd coordinates (the picture is at most 2^31 pixels
// wide); they are first brought in along the line to kFarPixel, which keeps them far off the
// picture, in floating point.
constexpr double kMostPixel = 0x1p60;
constexpr double kFarPixel = 0x1p59;
// Rings reaching farther than this are not drawn: no picture is that large, and beyond it a double
// no longer places their pixels.
constexpr double kMostRingPixel = 0x1p40;

// floor(pixels + 1/2) for |pixels| up to kMostPixel, without a call into the maths library: the
// coastline asks this four times per segment.
Long NearestPixel(double pixels) {
  const double v = pixels + 0.5;
  const auto t = static_cast<Long>(v);  // towards zero
  return static_cast<double>(t) > v ? t - 1 : t;
}

// The quotients below bound a walk's steps. One past the range of Long is as good as any farther
// bound, so it saturates there: a nearly flat line with ends far off has a bound near
// (picture height) x (its length), far past 64 bits.
Long Saturated(Wide q) {
  return static_cast<Long>(
      std::clamp<Wide>(q, std::numeric_limits<Long>::min(), std::numeric_limits<Long>::max()));
}

Long FloorDiv(Wide n, Wide d) {  // d > 0
  const Wide q = n / d;
  return Saturated((n % d != 0 && n < 0) ? q - 1 : q);
}

Long CeilDiv(Wide n, Wide d) {  // d > 0
  const Wide q = n / d;
  return Saturated((n % d != 0 && n > 0) ? q + 1 : q);
}

// Cuts the segment to the square [-limit, limit]^2 (Liang and Barsky); false when it misses it.
// The cut is measured from whichever of the two ends and the midpoint lies nearest the square:
// measured from a far end, the sum that gives the new end would lose the line's position near the
// square to rounding.
bool BringIn(double& x1, double& y1, double& x2, double& y2, double limit) {
  const double dx = x2 - x1, dy = y2 - y1;
  if (!Finite(dx, dy)) return false;
  const double mx = x1 / 2 + x2 / 2, my = y1 / 2 + y2 / 2;
  const auto size = [](double x, double y) { return std::max(std::abs(x), std::abs(y)); };
  // The segment is o + t (dx, dy) for t in [t0, t1].
  double ox = mx, oy = my, t0 = -0.5, t1 = 0.5;
  if (size(x1, y1) < size(ox, oy)) ox = x1, oy = y1, t0 = 0, t1 = 1;
  if (size(x2, y2) < size(ox, oy)) ox = x2, oy = y2, t0 = -1, t1 = 0;
  const double p[] = {-dx, dx, -dy, dy};
  const double q[] = {ox + limit, limit - ox, oy + limit, limit - oy};
  for (int k = 0; k < 4; ++k) {
    if (p[k] == 0) {
      if (q[k] < 0) return false;
      continue;
    }
    const double t = q[k] / p[k];
    if (p[k] < 0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
  }
  if (t0 > t1) return false;
  // Whatever rounding is left, the ends stay in the square.
  const auto in = [&](double v) { return std::clamp(v, -limit, limit); };
  x1 = in(ox + t0 * dx);
  y1 = in(oy + t0 * dy);
  x2 = in(ox + t1 * dx);
  y2 = in(oy + t1 * dy);
  return true;
}

// The pixels of a line from end pixel to end pixel, along its major axis a (the axis in which it
// is longer, x when equal) and its minor axis b. Step i, 0 <= i < da, lights
//   a = a0 + sa i,   b = b0 + sb q(i),   q(i) = floor((2 i db + da) / (2 da)),
// the exact line's minor coordinate rounded to the nearest pixel, halves away from the first end.
// The walk stops before the last end's pixel.
struct Walk {
  Long a0, b0;
  Long da, db;  // da >= 1, 0 <= db <= da
  int sa, sb;   // +1 or -1

  // The steps that fall on the picture: `count` of them from pixel (a, b), whose error term
  // 2 i db + da - 2 da q(i) is `rest`.
  struct Visible {
    Long a, b, rest, count;
  };

  Long Minor(Long i) const { return b0 + sb * FloorDiv(Wide{2} * i * db + da, Wide{2} * da); }

  // The steps whose major coordinate lies in [lo, hi].
  bool MajorSteps(Long lo, Long hi, Long& first, Long& last) const {
    first = std::max<Long>(0, sa > 0 ? lo - a0 : a0 - hi);
    last = std::min<Long>(da - 1, sa > 0 ? hi - a0 : a0 - lo);
    return first <= last;
  }

  // The steps inside [0, aHi] x [0, bHi]. Only those are ever visited, so a line far longer than
  // the picture costs no more than the picture.
  bool Clip(Long aHi, Long bHi, Visible& v) const {
    Long first = 0, last = 0;
    if (!MajorSteps(0, aHi, first, last)) return false;
    // q(i) >= m exactly when 2 i db >= (2m - 1) da, and q(i) <= M when 2 i db < (2M + 1) da.
    const Long qLo = sb > 0 ? -b0 : b0 - bHi;
    const Long qHi = sb > 0 ? bHi - b0 : b0;
    if (qHi < 0 || qLo > db) return false;
    if (db > 0) {
      first = std::max(first, CeilDiv((Wide{2} * qLo - 1) * da, Wide{2} * db));
      last = std::min(last, CeilDiv((Wide{2} * qHi + 1) * da, Wide{2} * db) - 1);
    }
    if (first > last) return false;
    const Wide n = Wide{2} * first * db + da;
    const Long q = FloorDiv(n, Wide{2} * da);
    v = {a0 + sa * first, b0 + sb * q, static_cast<Long>(n - Wide{2} * da * q), last - first + 1};
    return true;
  }
};

// Lights `count` steps of a walk from pixel (a, b), all on the picture. The writer is a copy, so
// its fields stay in registers.
template <bool kXMajor, class Writer>
void Steps(const Writer writer, int a, int b, int sa, int sb, Long rest, Long twoDa, Long twoDb,
           Long count) {
  for (; count > 0; --count) {
    if constexpr (kXMajor) {
      writer.Put(a, b);
    } else {
      writer.Put(b, a);
    }
    a += sa;
    rest += twoDb;
    if (rest >= twoDa) {
      rest -= twoDa;
      b += sb;
    }
  }
}

template <bool kXMajor, class Writer>
void Light(const Walk& walk, Long aHi, Long bHi, const Writer& writer) {
  Walk::Visible v;
  if (!walk.Clip(aHi, bHi, v)) return;
  Steps<kXMajor>(writer, static_cast<int>(v.a), static_cast<int>(v.b), walk.sa, walk.sb, v.rest,
                 2 * walk.da, 2 * walk.db, v.count);
}

// A line whose ends fall in one pixel: that pixel, widened to a square of the line's width.
template <class Writer>
void Dot(const Writer& writer, Long x, Long y, Long nearSide, Long farSide) {
  const Long right = writer.p.width - 1, bottom = writer.p.height - 1;
  for (Long v = std::max<Long>(y + nearSide, 0); v <= std::min(y + farSide, bottom); ++v) {
    for (Long u = std::max<Long>(x + nearSide, 0); u <= std::min(x + farSide, right); ++u) {
      writer.Put(u, v);
    }
  }
}

// How pixels of each kind are written: a value for a colour, one pixel, a whole picture.
struct Rgb32Writer {
  Rgb32Pixels p;
  std::uint32_t value;

  static std::uint32_t Encode(const Rgb32Pixels&, Rgb c) {
    return 0xff000000u |
           static_cast<std::uint32_t>((c.r & 0xff) << 16 | (c.g & 0xff) << 8 | (c.b & 0xff));
  }
  void Put(Long x, Long y) const {
    reinterpret_cast<std::uint32_t*>(p.top + y * p.stride)[x] = value;
  }
  void Fill() const {
    for (int y = 0; y < p.height; ++y) {
      std::fill_n(reinterpret_cast<std::uint32_t*>(p.top + y * p.stride), p.width, value);
    }
  }
};

// Indices of kBits bits, packed from the most significant bits of each byte.
template <int kBits>
struct PaletteWriter {
  static constexpr int kPerByte = 8 / kBits;
  static constexpr int kPerByteShift = kBits == 2 ? 2 : kBits == 4 ? 1 : 0;  // log2 of kPerByte
  static constexpr std::uint32_t kMask = (1u << kBits) - 1;
  // A byte of kPerByte pixels of index 1.
  static constexpr std::uint32_t kOnes = kBits == 2 ? 0x55u : kBits == 4 ? 0x11u : 0x01u;

  PalettePixels p;
  std::uint32_t value;  // the palette index

  static std::uint32_t Encode(const PalettePixels& p, Rgb c) {
    std::uint32_t best = 0;
    long bestDistance = -1;
    for (int k = 0; k < p.colours; ++k) {
      const long dr = c.r - p.palette[k].r, dg = c.g - p.palette[k].g, db = c.b - p.palette[k].b;
      const long distance = dr * dr + dg * dg + db * db;
      if (bestDistance < 0 || distance < bestDistance) {
        best = static_cast<std::uint32_t>(k);
        bestDistance = distance;
      }
    }
    return best;
  }
  void Put(Long x, Long y) const {
    std::uint8_t& byte = p.top[y * p.stride + (x >> kPerByteShift)];
    const int shift = 8 - kBits * (1 + static_cast<int>(x & (kPerByte - 1)));
    byte = static_cast<std::uint8_t>((byte & ~(kMask << shift)) | (value << shift));
  }
  void Fill() const {
    // Whole bytes, so the bits past the last pixel of a row are defined too.
    const std::size_t bytes = (static_cast<std::size_t>(p.width) + kPerByte - 1) / kPerByte;
    for (int y = 0; y < p.height; ++y) {
      std::memset(p.top + y * p.stride, static_cast<int>(value * kOnes), bytes);
    }
  }
};

// Blends a colour over a 32-bit pixel by a coverage of 0..255.
void Blend(const Rgb32Pixels& p, int x, int y, Rgb c, unsigned coverage) {
  auto& pixel = reinterpret_cast<std::uint32_t*>(p.top + static_cast<Long>(y) * p.stride)[x];
  const auto mix = [&](unsigned old, int value) {
    return (old * (255 - coverage) + static_cast<unsigned>(value & 0xff) * coverage + 127) / 255;
  };
  pixel = 0xff000000u | mix((pixel >> 16) & 0xff, c.r) << 16 | mix((pixel >> 8) & 0xff, c.g) << 8 |
          mix(pixel & 0xff, c.b);
}

// A palette pixel counts as the text's where a glyph covers at least half of it.
constexpr unsigned kHalfCovered = 128;

// Calls draw with the writer for these palette pixels and colour.
template <class Draw>
void WithPaletteWriter(const PalettePixels& p, Rgb colour, const Draw& draw) {
  if (p.bitsPerPixel == 8) {
    draw(PaletteWriter<8>{p, PaletteWriter<8>::Encode(p, colour)});
  } else if (p.bitsPerPixel == 4) {
    draw(PaletteWriter<4>{p, PaletteWriter<4>::Encode(p, colour)});
  } else {
    draw(PaletteWriter<2>{p, PaletteWriter<2>::Encode(p, colour)});
  }
}

template <class Pixels>
bool HasPixels(const Pixels& p) {
  return p.top != nullptr && p.width > 0 && p.height > 0;
}

}  // namespace

RasterSurface::RasterSurface(Rgb32Pixels pixels, double twipsPerPixel) {
  Attach(pixels, twipsPerPixel);
}

RasterSurface::RasterSurface(PalettePixels pixels, double twipsPerPixel) {
  Attach(pixels, twipsPerPixel);
}

void RasterSurface::SetScale(double twipsPerPixel) {
  scale_ = PixelsPerTwip(twipsPerPixel);
}

void RasterSurface::Attach(Rgb32Pixels pixels, double twipsPerPixel) {
  SetScale(twipsPerPixel);
  pixels_ = pixels;
}

void RasterSurface::Attach(PalettePixels pixels, double twipsPerPixel) {
  SetScale(twipsPerPixel);
  if (pixels.bitsPerPixel != 2 && pixels.bitsPerPixel != 4 && pixels.bitsPerPixel != 8) {
    throw std::invalid_argument("palette pixels are of 2, 4 or 8 bits");
  }
  if (pixels.palette == nullptr || pixels.colours < 1 ||
      pixels.colours > (1 << pixels.bitsPerPixel)) {
    throw std::invalid_argument("a palette holds one colour to as many as its bits can index");
  }
  pixels_ = pixels;
}

void RasterSurface::BackColor(Rgb colour) {
  back_ = colour;
}

void RasterSurface::ForeColor(Rgb colour) {
  fore_ = colour;
}

void RasterSurface::DrawWidth(int pixels) {
  // A width below one still draws the thinnest line.
  width_ = std::max(pixels, 1);
}

void RasterSurface::Cls() {
  if (const auto* p = std::get_if<Rgb32Pixels>(&pixels_); p && HasPixels(*p)) {
    Rgb32Writer{*p, Rgb32Writer::Encode(*p, back_)}.Fill();
  } else if (const auto* q = std::get_if<PalettePixels>(&pixels_); q && HasPixels(*q)) {
    WithPaletteWriter(*q, back_, [](const auto& writer) { writer.Fill(); });
  }
}

void RasterSurface::Line(float x1, float y1, float x2, float y2) {
  // A position that is not a number has no place on the picture.
  if (!Finite(x1, y1, x2, y2)) return;
  if (const auto* p = std::get_if<Rgb32Pixels>(&pixels_); p && HasPixels(*p)) {
    DrawLine(Rgb32Writer{*p, Rgb32Writer::Encode(*p, fore_)}, x1, y1, x2, y2);
  } else if (const auto* q = std::get_if<PalettePixels>(&pixels_); q && HasPixels(*q)) {
    PaletteLine(*q, x1, y1, x2, y2);
  }
}

void RasterSurface::PaletteLine(const PalettePixels& pixels, double x1, double y1, double x2,
                                double y2) const {
  WithPaletteWriter(pixels, fore_, [&](const auto& writer) { DrawLine(writer, x1, y1, x2, y2); });
}

void RasterSurface::Circle(float x, float y, float radius, Rgb colour) {
  if (!Finite(x, y, radius) || radius < 0) return;
  if (const auto* p = std::get_if<Rgb32Pixels>(&pixels_); p && HasPixels(*p)) {
    DrawRing(Rgb32Writer{*p, Rgb32Writer::Encode(*p, colour)}, x, y, radius);
  } else if (const auto* q = std::get_if<PalettePixels>(&pixels_); q && HasPixels(*q)) {
    WithPaletteWriter(*q, colour, [&](const auto& writer) { DrawRing(writer, x, y, radius); });
  }
}

void RasterSurface::Polygon(std::span<const SurfacePoint> corners, Rgb colour) {
  if (corners.size() < 3) return;
  for (const SurfacePoint& corner : corners) {
    if (!Finite(corner.x, corner.y)) return;
  }
  if (const auto* p = std::get_if<Rgb32Pixels>(&pixels_); p && HasPixels(*p)) {
    FillPolygon(Rgb32Writer{*p, Rgb32Writer::Encode(*p, colour)}, corners);
  } else if (const auto* q = std::get_if<PalettePixels>(&pixels_); q && HasPixels(*q)) {
    WithPaletteWriter(*q, colour, [&](const auto& writer) { FillPolygon(writer, corners); });
  }
}

template <class Writer>
void RasterSurface::FillPolygon(const Writer& writer, std::span<const SurfacePoint> corners) const {
  double top = corners[0].y * scale_, bottom = top;
  for (const SurfacePoint& corner : corners) {
    top = std::min(top, corner.y * scale_);
    bottom = std::max(bottom, corner.y * scale_);
  }
  const Long firstRow = std::max<Long>(0, static_cast<Long>(std::ceil(std::max(top, -1.0))));
  const Long lastRow =
      std::min<Long>(writer.p.height - 1, static_cast<Long>(std::floor(std::min(bottom, 0x1p31))));
  std::vector<double> crossings;
  for (Long row = firstRow; row <= lastRow; ++row) {
    // Where the edges cross the row's pixel centres; an edge takes its upper end, not its lower,
    // so a corner on the row counts once.
    crossings.clear();
    const auto y = static_cast<double>(row);
    for (std::size_t k = 0; k < corners.size(); ++k) {
      const SurfacePoint& a = corners[k];
      const SurfacePoint& b = corners[(k + 1) % corners.size()];
      const double ay = a.y * scale_, by = b.y * scale_;
      if ((ay <= y) == (by <= y)) continue;
      const double ax = a.x * scale_, bx = b.x * scale_;
      crossings.push_back(ax + (y - ay) * (bx - ax) / (by - ay));
    }
    std::sort(crossings.begin(), crossings.end());
    for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
      // The pixels whose centres lie in [left, right).
      const double left = std::max(std::ceil(crossings[k]), 0.0);
      const double right = std::min(std::ceil(crossings[k + 1]) - 1, writer.p.width - 1.0);
      for (double x = left; x <= right; ++x) writer.Put(static_cast<Long>(x), row);
    }
  }
}

void RasterSurface::Text(float x, float y, std::string_view utf8, const TextStyle& style) {
  if (!Finite(x, y, style.pixelSize) || utf8.empty()) return;
  const auto* rgb = std::get_if<Rgb32Pixels>(&pixels_);
  const auto* palette = std::get_if<PalettePixels>(&pixels_);
  if (!(rgb && HasPixels(*rgb)) && !(palette && HasPixels(*palette))) return;
  TextFont& font = TextFont::Shared();
  const TextBox box = font.Measure(utf8, style.pixelSize);
  const TextOrigin origin = TextFont::OriginOf(box, style.anchor);
  const double startX = x * scale_ + origin.x, baseY = y * scale_ + origin.y;
  if (std::max(std::abs(startX), std::abs(baseY)) > kMostRingPixel) return;
  const Long width = rgb ? rgb->width : palette->width;
  const Long height = rgb ? rgb->height : palette->height;
  // Calls put(x, y, coverage) for every covered pixel of the text on the picture.
  const auto glyphs = [&](const auto& put) {
    double pen = static_cast<double>(NearestPixel(startX));
    const Long baseline = NearestPixel(baseY);
    for (const char32_t character : DecodeUtf8(utf8)) {
      const Glyph& glyph = font.GlyphOf(character, style.pixelSize);
      const Long left = static_cast<Long>(std::lround(pen)) + glyph.left;
      const Long top = baseline - glyph.top;
      pen += glyph.advance;
      for (int row = 0; row < glyph.rows; ++row) {
        const Long py = top + row;
        if (py < 0 || py >= height) continue;
        const std::uint8_t* coverage = glyph.coverage.data() + std::size_t(row) * glyph.width;
        for (int column = 0; column < glyph.width; ++column) {
          const Long px = left + column;
          if (px >= 0 && px < width && coverage[column] != 0) put(px, py, coverage[column]);
        }
      }
    }
  };
  if (rgb) {
    glyphs([&](Long px, Long py, unsigned coverage) {
      Blend(*rgb, static_cast<int>(px), static_cast<int>(py), style.colour, coverage);
    });
  } else {
    WithPaletteWriter(*palette, style.colour, [&](const auto& writer) {
      glyphs([&](Long px, Long py, unsigned coverage) {
        if (coverage >= kHalfCovered) writer.Put(px, py);
      });
    });
  }
}

// Inlined where it is called: the coastline calls Line sixty thousand times a picture, and a call
// of its own costs a sixth more. The palette kinds take theirs apart (PaletteLine), so that the
// window's 32-bit picture keeps a lean Line.
template <class Writer>
[[gnu::always_inline]] inline void RasterSurface::DrawLine(const Writer& writer, double x1,
                                                           double y1, double x2, double y2) const {
  double px1 = x1 * scale_, py1 = y1 * scale_, px2 = x2 * scale_, py2 = y2 * scale_;
  if (std::max({std::abs(px1), std::abs(py1), std::abs(px2), std::abs(py2)}) > kMostPixel) {
    if (!Finite(px1, py1, px2, py2) || !BringIn(px1, py1, px2, py2, kFarPixel)) return;
  }
  const Long ax = NearestPixel(px1), ay = NearestPixel(py1);
  const Long bx = NearestPixel(px2), by = NearestPixel(py2);
  const Long right = writer.p.width - 1, bottom = writer.p.height - 1;
  // A wide line is a band of one-pixel lines side by side across its major axis.
  const Long nearSide = -(width_ - 1) / 2, farSide = width_ / 2;

  const Long dx = bx - ax, dy = by - ay;
  const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  const bool xMajor = std::abs(dx) >= std::abs(dy);
  // Most coastline segments lie wholly on the picture and need no clipping.
  if (width_ == 1 && ax >= 0 && ax <= right && bx >= 0 && bx <= right && ay >= 0 && ay <= bottom &&
      by >= 0 && by <= bottom) {
    const Long adx = std::abs(dx), ady = std::abs(dy);
    if (xMajor) {
      Steps<true>(writer, int(ax), int(ay), sx, sy, adx, 2 * adx, 2 * ady, std::max<Long>(adx, 1));
    } else {
      Steps<false>(writer, int(ay), int(ax), sy, sx, ady, 2 * ady, 2 * adx, ady);
    }
    return;
  }
  if (dx == 0 && dy == 0) {
    Dot(writer, ax, ay, nearSide, farSide);
    return;
  }
  Walk walk = xMajor ? Walk{ax, ay, std::abs(dx), std::abs(dy), sx, sy}
                     : Walk{ay, ax, std::abs(dy), std::abs(dx), sy, sx};
  const Long aHi = xMajor ? right : bottom, bHi = xMajor ? bottom : right;
  const auto light = [&] {
    if (xMajor) {
      Light<true>(walk, aHi, bHi, writer);
    } else {
      Light<false>(walk, aHi, bHi, writer);
    }
  };
  if (width_ == 1) {
    light();
    return;
  }
  // Only the lines of the band that can meet the picture are walked.
  Long first = 0, last = 0;
  if (!walk.MajorSteps(0, aHi, first, last)) return;
  const Long bFirst = walk.Minor(first), bLast = walk.Minor(last);
  const Long from = std::max(nearSide, 0 - std::max(bFirst, bLast));
  const Long to = std::min(farSide, bHi - std::min(bFirst, bLast));
  const Long b0 = walk.b0;
  for (Long k = from; k <= to; ++k) {
    walk.b0 = b0 + k;
    light();
  }
}

template <class Writer>
void RasterSurface::DrawRing(const Writer& writer, double x, double y, double radius) const {
  const double px = x * scale_, py = y * scale_, r = radius * scale_;
  if (std::max({std::abs(px), std::abs(py), r}) > kMostRingPixel) return;
  const Long cx = NearestPixel(px), cy = NearestPixel(py);
  const Long right = writer.p.width - 1, bottom = writer.p.height - 1;
  // The distances from the centre pixel to the nearest and farthest pixel of the picture.
  const double gapX = double(std::max<Long>({0 - cx, cx - right, 0}));
  const double gapY = double(std::max<Long>({0 - cy, cy - bottom, 0}));
  const double farX = double(std::max(std::abs(cx), std::abs(right - cx)));
  const double farY = double(std::max(std::abs(cy), std::abs(bottom - cy)));
  const double nearest = std::sqrt(gapX * gapX + gapY * gapY);
  const double farthest = std::sqrt(farX * farX + farY * farY);

  const auto ring = [&](double rr) {
    // Every pixel of the ring lies within a pixel of the true circle.
    if (rr + 1 < nearest || rr - 1 > farthest) return;
    // Step a along the flatter half of an octant; b is the other coordinate. The walk goes on
    // while b >= a (past the diagonal the mirrored octant takes over).
    const auto steep = [&](Long a) {
      const double rest = rr * rr - double(a) * double(a);
      return rest < 0 ? Long{-1} : static_cast<Long>(std::llround(std::sqrt(rest)));
    };
    Long most = static_cast<Long>(std::floor(rr / std::sqrt(2.0))) + 1;
    while (most >= 0 && steep(most) < most) --most;
    // Each of the four half-axes along which a runs, with the two pixels it mirrors to; only the
    // steps that land on the picture along a are taken.
    for (int axis = 0; axis < 2; ++axis) {
      const Long ca = axis == 0 ? cx : cy, cb = axis == 0 ? cy : cx;
      const Long aHi = axis == 0 ? right : bottom, bHi = axis == 0 ? bottom : right;
      for (const int sign : {1, -1}) {
        const Long from = std::max<Long>(0, sign > 0 ? 0 - ca : ca - aHi);
        const Long to = std::min(most, sign > 0 ? aHi - ca : ca);
        for (Long a = from; a <= to; ++a) {
          const Long b = steep(a);
          const Long at = ca + sign * a;
          for (const Long onB : {cb + b, cb - b}) {
            if (onB < 0 || onB > bHi) continue;
            if (axis == 0) {
              writer.Put(at, onB);
            } else {
              writer.Put(onB, at);
            }
          }
        }
      }
    }
  };
  if (width_ == 1) {
    ring(r);
    return;
  }
  // A wide ring is rings side by side, one pixel apart, as far as they can meet the picture.
  const double from = std::max<double>(-(width_ - 1) / 2, std::floor(nearest - r - 2));
  const double to = std::min<double>(width_ / 2, std::ceil(farthest - r + 2));
  for (double k = from; k <= to; ++k) {
    if (r + k >= 0) ring(r + k);
  }
}

}  // namespace globeview
