#include "view/night_layer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <numbers>

namespace globeview {

namespace {

constexpr std::array<NightShade, 4> kShades = {kCivilTwilight, kNauticalTwilight,
                                               kAstronomicalTwilight, kNight};

// How far, pixels, a traced boundary may stray from the true curve between its corners, and how
// long an edge may be however straight it looks (so that no bend hides between two corners).
constexpr double kTraceTolerancePixels = 0.2;
constexpr double kLongestEdgePixels = 8;
// The first corners of a traced circle, and how many halvings an edge may take after them: enough
// for a boundary that passes a hair from the antipode and so runs round the 180-degree ring.
constexpr int kFirstCorners = 64;
// Beyond this many pixels past an edge of the screen a boundary is not followed closely: no pixel
// of the picture lies near it, and its edges there never come onto the screen.
constexpr double kOffScreenPixels = 64;
constexpr int kDeepestHalving = 40;
// The mark on the point under the sun: a ring and a dot, pixels.
constexpr double kMarkRadiusPixels = 6;
constexpr double kDotRadiusPixels = 2.5;
constexpr int kDotCorners = 12;

constexpr double kRadiansPerDegree = std::numbers::pi / 180;

struct Vector3 {
  double x, y, z;
};

Vector3 Scaled(Vector3 a, double k) {
  return {a.x * k, a.y * k, a.z * k};
}
Vector3 Sum(Vector3 a, Vector3 b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vector3 Unit(Vector3 a) {
  return Scaled(a, 1 / std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z));
}

// The circle of places `radius` radians from a centre on the earth, by the bearing from it.
class SmallCircle {
 public:
  SmallCircle(Vector3 centre, double radius) : centre_(Scaled(centre, std::cos(radius))) {
    // Any two directions square to the centre and to each other.
    const Vector3 other = std::fabs(centre.z) < 0.9 ? Vector3{0, 0, 1} : Vector3{1, 0, 0};
    const Vector3 u =
        Unit({centre.y * other.z - centre.z * other.y, centre.z * other.x - centre.x * other.z,
              centre.x * other.y - centre.y * other.x});
    const Vector3 v{centre.y * u.z - centre.z * u.y, centre.z * u.x - centre.x * u.z,
                    centre.x * u.y - centre.y * u.x};
    u_ = Scaled(u, std::sin(radius));
    v_ = Scaled(v, std::sin(radius));
  }

  Place At(double bearing) const {
    const Vector3 p =
        Sum(centre_, Sum(Scaled(u_, std::cos(bearing)), Scaled(v_, std::sin(bearing))));
    return {std::atan2(p.y, p.x) / kRadiansPerDegree,
            std::asin(std::clamp(p.z, -1.0, 1.0)) / kRadiansPerDegree};
  }

 private:
  Vector3 centre_, u_, v_;
};

SurfacePoint ToSurface(ScreenPosition p) {
  return {static_cast<float>(p.x), static_cast<float>(p.y)};
}

// Traces a circle's image on the screen as corners, halving every edge that strays from the curve
// or is long.
class Tracer {
 public:
  Tracer(const Projector& projector, const SmallCircle& circle)
      : projector_(projector),
        circle_(circle),
        tolerance_(kTraceTolerancePixels * projector.View().twipsPerPixel),
        longest_(kLongestEdgePixels * projector.View().twipsPerPixel),
        margin_(kOffScreenPixels * projector.View().twipsPerPixel) {}

  std::vector<ScreenPosition> Corners() {
    corners_.clear();
    const double step = 2 * std::numbers::pi / kFirstCorners;
    ScreenPosition first = Position(0);
    corners_.push_back(first);
    ScreenPosition from = first;
    for (int k = 1; k <= kFirstCorners; ++k) {
      const ScreenPosition to = k == kFirstCorners ? first : Position(k * step);
      Halve((k - 1) * step, from, k * step, to, 0);
      from = to;
    }
    corners_.pop_back();  // the first again
    return corners_;
  }

 private:
  ScreenPosition Position(double bearing) const {
    return projector_.PositionOf(circle_.At(bearing));
  }

  // Adds the corners after `from` up to `to`.
  void Halve(double b0, ScreenPosition from, double b1, ScreenPosition to, int depth) {
    const double bm = (b0 + b1) / 2;
    const ScreenPosition mid = Position(bm);
    const double stray = std::hypot(mid.x - (from.x + to.x) / 2, mid.y - (from.y + to.y) / 2);
    const double length = std::hypot(to.x - from.x, to.y - from.y);
    if (depth < kDeepestHalving && !OffScreen({from, mid, to}) &&
        (stray > tolerance_ || length > longest_)) {
      Halve(b0, from, bm, mid, depth + 1);
      Halve(bm, mid, b1, to, depth + 1);
    } else {
      corners_.push_back(to);
    }
  }

  // Whether the points all lie beyond the margin past one edge of the screen.
  bool OffScreen(std::initializer_list<ScreenPosition> points) const {
    const ScreenSize& screen = projector_.View().screen;
    const auto all = [&](auto beyond) { return std::all_of(points.begin(), points.end(), beyond); };
    return all([&](ScreenPosition p) { return p.x < -margin_; }) ||
           all([&](ScreenPosition p) { return p.y < -margin_; }) ||
           all([&](ScreenPosition p) { return p.x > screen.width + margin_; }) ||
           all([&](ScreenPosition p) { return p.y > screen.height + margin_; });
  }

  const Projector& projector_;
  const SmallCircle& circle_;
  double tolerance_;
  double longest_;
  double margin_;
  std::vector<ScreenPosition> corners_;
};

// A circle of `radius` twips as corners no further than the trace's tolerance inside it.
std::vector<ScreenPosition> RingCorners(ScreenPosition middle, double radius, double tolerance) {
  const double bend = std::acos(std::max(0.0, 1 - tolerance / radius));
  const int count = std::max(kDotCorners, static_cast<int>(std::ceil(std::numbers::pi / bend)));
  std::vector<ScreenPosition> corners;
  for (int k = 0; k < count; ++k) {
    const double angle = 2 * std::numbers::pi * k / count;
    corners.push_back({middle.x + radius * std::cos(angle), middle.y + radius * std::sin(angle)});
  }
  return corners;
}

Place AntipodeOf(Place place) {
  return {std::remainder(place.lon + kDegreesPerHalfTurn, kDegreesPerTurn), -place.lat};
}

}  // namespace

NightLayer::NightLayer(UtcTime time) : sun_(SubsolarPoint(time)) {}

std::vector<Rgb> NightLayer::Colours() const {
  std::vector<Rgb> colours{kTerminator};
  for (const NightShade& shade : kShades) colours.push_back(shade.colour);
  colours.push_back(kSubsolarMark);
  return colours;
}

void NightLayer::Draw(const Projector& projector, DrawingSurface& surface) const {
  const double twipsPerPixel = projector.View().twipsPerPixel;
  const std::vector<ScreenPosition> ring =
      RingCorners(projector.Middle(), projector.RingRadius(kDegreesPerHalfTurn),
                  kTraceTolerancePixels * twipsPerPixel);
  const Place antipode = AntipodeOf(DrawnCentre(projector.View()));
  const double antipodeAltitude = SunAltitude(sun_, antipode);
  const Vector3 antisolar{-sun_.x, -sun_.y, -sun_.z};

  std::vector<ScreenPosition> terminator;
  for (const NightShade& shade : kShades) {
    // The dark cap: places more than 90 degrees less the altitude from the point under the sun.
    double radius = (90 + shade.altitude) * kRadiansPerDegree;
    // A circle through the antipode itself would leave its image open on the ring; moved by a
    // hair so that the antipode lies clearly on one side, the pixels do not change.
    constexpr double kAntipodeMargin = 1e-9;
    const double antipodeDistance = (90 + antipodeAltitude) * kRadiansPerDegree;
    if (std::fabs(antipodeDistance - radius) < kAntipodeMargin) radius -= 2 * kAntipodeMargin;
    const SmallCircle circle(antisolar, radius);
    const std::vector<ScreenPosition> edge = Tracer(projector, circle).Corners();

    const bool coversRing = antipodeDistance < radius;
    std::vector<SurfacePoint> corners;
    if (coversRing) {
      // The cap covers the ring: the disc less the inside of the lit cap's image (even-odd), the
      // two outlines joined by an edge walked there and back.
      for (const ScreenPosition& p : ring) corners.push_back(ToSurface(p));
      corners.push_back(ToSurface(ring.front()));
    }
    for (const ScreenPosition& p : edge) corners.push_back(ToSurface(p));
    if (coversRing) corners.push_back(ToSurface(edge.front()));
    surface.Polygon(corners, shade.colour);
    if (shade.altitude == kSunriseAltitude) terminator = edge;
  }

  // The terminator in the pen, leaving out only an edge that jumps across the ring where the
  // line passes (within the hair above) through the antipode.
  surface.DrawWidth(1);
  const double longest = 2 * kLongestEdgePixels * twipsPerPixel;
  for (std::size_t k = 0; k < terminator.size(); ++k) {
    const ScreenPosition& a = terminator[k];
    const ScreenPosition& b = terminator[(k + 1) % terminator.size()];
    if (std::hypot(b.x - a.x, b.y - a.y) > longest) continue;
    surface.Line(static_cast<float>(a.x), static_cast<float>(a.y), static_cast<float>(b.x),
                 static_cast<float>(b.y));
  }

  const ScreenPosition sun = projector.PositionOf(sun_.place);
  surface.Circle(static_cast<float>(sun.x), static_cast<float>(sun.y),
                 static_cast<float>(kMarkRadiusPixels * twipsPerPixel), kSubsolarMark);
  std::vector<SurfacePoint> dot;
  for (const ScreenPosition& p :
       RingCorners(sun, kDotRadiusPixels * twipsPerPixel, twipsPerPixel)) {
    dot.push_back(ToSurface(p));
  }
  surface.Polygon(dot, kSubsolarMark);
}

}  // namespace globeview
