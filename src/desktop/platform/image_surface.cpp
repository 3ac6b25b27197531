#include "platform/image_surface.h"

#include <QColor>
#include <QLineF>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <cmath>
#include <stdexcept>
#include <utility>
#include <vector>

namespace globeview {

namespace {

// The coastline is about 60 000 segments; a buffer this size sends it to the painter in a few
// calls without holding a second copy of the table.
constexpr std::size_t kLineBatch = 8192;

QColor ToQColor(Rgb c) {
  return QColor(c.r, c.g, c.b);
}

// The pixels of a one-pixel ring about the centre of pixel (cx, cy), radius in pixels: for each
// step along the flatter half of each octant the pixel nearest the true circle, mirrored eight
// ways, so the ring is exactly symmetric about the middle pixel (the painter's own ellipse is
// not). Only pixels on the image are kept; at magnification 10 most of a ring lies beyond it.
void RingPixels(int cx, int cy, double radius, QSize size, std::vector<QPoint>& out) {
  out.clear();
  const auto last = static_cast<int>(std::floor(radius / std::sqrt(2.0)));
  auto put = [&](int x, int y) {
    if (x >= 0 && y >= 0 && x < size.width() && y < size.height()) out.emplace_back(x, y);
  };
  for (int a = 0; a <= last + 1; ++a) {
    const double rest = radius * radius - double(a) * a;
    if (rest < 0) break;
    const auto b = static_cast<int>(std::lround(std::sqrt(rest)));
    if (b < a) break;
    for (const auto& [dx, dy] : {std::pair{a, b}, std::pair{b, a}}) {
      put(cx + dx, cy + dy);
      put(cx - dx, cy + dy);
      put(cx + dx, cy - dy);
      put(cx - dx, cy - dy);
    }
  }
}

bool Finite(float a, float b, float c, float d) {
  return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

}  // namespace

// Pixel mapping: pixel k of the image has its centre at k x twipsPerPixel twips, so a position in
// twips goes to the nearest pixel centre. The middle of the screen (W/2, H/2) is then the centre of
// a pixel, the vertical bar of the cross is one column, and the rings and the horizontal bar extend
// the same number of pixels either side of it. In the painter's coordinates (pixel k spans k..k+1)
// that is twips / twipsPerPixel + 1/2.
//
// Lines are drawn without antialiasing: a one-pixel line then lights exactly one pixel per step,
// which keeps the coastline crisp at every zoom and keeps 60 000 segments cheap.
struct ImageSurface::State {
  State(QImage& target, double twipsPerPixel) : image(target), scale(1.0 / twipsPerPixel) {
    lines.reserve(kLineBatch);
    // A null image has nothing to draw on; every call then just does nothing.
    if (!image.isNull() && painter.begin(&image)) {
      painter.setRenderHint(QPainter::Antialiasing, false);
      painter.setBrush(Qt::NoBrush);
      ApplyPen(fore);
    }
  }

  double ToPixel(float twips) const { return twips * scale + 0.5; }

  void ApplyPen(Rgb colour) {
    QPen pen(ToQColor(colour));
    pen.setWidth(width);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    penColour = colour;
  }

  void FlushLines() {
    if (lines.empty()) return;
    if (painter.isActive()) {
      if (!(penColour == fore)) ApplyPen(fore);
      painter.drawLines(lines.data(), static_cast<int>(lines.size()));
    }
    lines.clear();
  }

  QImage& image;
  const double scale;
  QPainter painter;
  Rgb back{255, 255, 255};
  Rgb fore{0, 0, 0};
  Rgb penColour{0, 0, 0};  // colour of the painter's pen, which a Circle may have changed
  int width = 1;
  std::vector<QLineF> lines;
  std::vector<QPoint> points;  // reused for the rings
};

ImageSurface::ImageSurface(QImage& image, double twipsPerPixel) {
  if (!(twipsPerPixel > 0) || !std::isfinite(twipsPerPixel)) {
    throw std::invalid_argument("twips per pixel must be a positive number");
  }
  state_ = std::make_unique<State>(image, twipsPerPixel);
}

ImageSurface::~ImageSurface() {
  Flush();
  if (state_->painter.isActive()) state_->painter.end();
}

void ImageSurface::BackColor(Rgb colour) {
  state_->back = colour;
}

void ImageSurface::ForeColor(Rgb colour) {
  if (colour == state_->fore) return;
  state_->FlushLines();
  state_->fore = colour;
}

void ImageSurface::DrawWidth(int pixels) {
  // A width below one still draws the thinnest line, as a zero width does in the painter.
  const int width = pixels < 1 ? 1 : pixels;
  // Called before every coastline segment; only a real change may cost anything.
  if (width == state_->width) return;
  state_->FlushLines();
  state_->width = width;
  state_->ApplyPen(state_->fore);
}

void ImageSurface::Cls() {
  // Lines not yet drawn would be painted over at once.
  state_->lines.clear();
  if (!state_->painter.isActive()) return;
  state_->painter.setCompositionMode(QPainter::CompositionMode_Source);
  state_->painter.fillRect(state_->image.rect(), ToQColor(state_->back));
  state_->painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void ImageSurface::Line(float x1, float y1, float x2, float y2) {
  // A position that is not a number has no place on the picture.
  if (!Finite(x1, y1, x2, y2)) return;
  State& st = *state_;
  st.lines.emplace_back(st.ToPixel(x1), st.ToPixel(y1), st.ToPixel(x2), st.ToPixel(y2));
  if (st.lines.size() >= kLineBatch) st.FlushLines();
}

void ImageSurface::Circle(float x, float y, float radius, Rgb colour) {
  State& st = *state_;
  st.FlushLines();
  if (!st.painter.isActive() || !Finite(x, y, radius, 0) || radius < 0) return;
  st.ApplyPen(colour);
  const double r = radius * st.scale;
  const double px = st.ToPixel(x), py = st.ToPixel(y);
  // Rings up to this size (ten times a 4K screen's height at magnification 10) are traced pixel by
  // pixel; beyond it the walk would take too long, and the painter's ellipse is close enough.
  constexpr double kHuge = 1 << 17;
  if (st.width == 1 && r < kHuge && std::abs(px) < kHuge && std::abs(py) < kHuge) {
    RingPixels(static_cast<int>(std::floor(px)), static_cast<int>(std::floor(py)), r,
               st.image.size(), st.points);
    st.painter.drawPoints(st.points.data(), static_cast<int>(st.points.size()));
  } else {
    st.painter.drawEllipse(QPointF(px, py), r, r);
  }
}

void ImageSurface::Flush() {
  state_->FlushLines();
}

}  // namespace globeview
