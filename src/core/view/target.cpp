#include "view/target.h"

#include <cmath>

#include "system/angles.h"
#include "view/geodesy.h"
#include "view/projection.h"

namespace globeview {

namespace {

// The projection draws a place within its pi's shortfall (about 4e-9 rad) of the antipode near
// the 180-degree ring, in a direction that rounding decides; a position this close to the ring (a
// fraction of its radius, some 20 cm on the earth) is taken for such a place.
constexpr double kOnRing = 1e-8;

// Where the way to a target is drawn, twips: the middle of the screen, the target, and the two
// points of the 180-degree ring on the target's line, beyond it and away from it.
struct TargetLines {
  ScreenPosition middle, target, beyond, away;
};

TargetLines LinesOf(const Projector& projector, Place target) {
  TargetLines lines;
  lines.middle = projector.Middle();
  const double ring = projector.RingRadius(kDegreesPerHalfTurn);
  lines.target = projector.PositionOf(target);
  double dx = lines.target.x - lines.middle.x;
  double dy = lines.target.y - lines.middle.y;
  const double r = std::hypot(dx, dy);
  if (r > 0 && r < ring * (1 - kOnRing)) {
    dx /= r;
    dy /= r;
  } else {
    // North is up: a bearing b is drawn in the direction (sin b, -cos b).
    const double bearing =
        HeadingFromCentre(projector.View(), target).bearing * kTrueRadiansPerDegree;
    dx = std::sin(bearing);
    dy = -std::cos(bearing);
    const double along = r > 0 ? ring : 0;
    lines.target = {lines.middle.x + along * dx, lines.middle.y + along * dy};
  }
  lines.beyond = {lines.middle.x + ring * dx, lines.middle.y + ring * dy};
  lines.away = {lines.middle.x - ring * dx, lines.middle.y - ring * dy};
  return lines;
}

void Line(DrawingSurface& surface, ScreenPosition from, ScreenPosition to) {
  surface.Line(static_cast<float>(from.x), static_cast<float>(from.y), static_cast<float>(to.x),
               static_cast<float>(to.y));
}

}  // namespace

TargetLayer::TargetLayer(Place target) : target_(target) {}

std::vector<Rgb> TargetLayer::Colours() const {
  return {kShortPath, kLongPath};
}

void TargetLayer::Draw(const Projector& projector, DrawingSurface& surface) const {
  DrawTarget(projector, target_, surface);
}

void DrawTarget(const Projector& projector, Place target, DrawingSurface& surface) {
  const TargetLines lines = LinesOf(projector, target);
  surface.DrawWidth(1);
  surface.ForeColor(kShortPath);
  Line(surface, lines.middle, lines.target);
  surface.Circle(static_cast<float>(lines.target.x), static_cast<float>(lines.target.y),
                 static_cast<float>(kTargetRingPixels * projector.View().twipsPerPixel),
                 kShortPath);
  surface.ForeColor(kLongPath);
  Line(surface, lines.middle, lines.away);
  Line(surface, lines.beyond, lines.target);
}

}  // namespace globeview
