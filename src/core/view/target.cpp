#include "view/target.h"

#include <cmath>
#include <numbers>

#include "system/angles.h"
#include "view/locator.h"
#include "view/projection.h"

namespace globeview {

namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / kDegreesPerHalfTurn;
// The projection draws a place within its pi's shortfall (about 4e-9 rad) of the antipode near
// the 180-degree ring, in a direction that rounding decides; a position this close to the ring (a
// fraction of its radius, some 20 cm on the earth) is taken for such a place.
constexpr double kOnRing = 1e-8;

// Where the way to a target is drawn, twips: the middle of the screen, the target, and the two
// points of the 180-degree ring on the target's line, beyond it and away from it.
struct TargetLines {
  ScreenPosition middle, target, beyond, away;
};

TargetLines LinesOf(const PictureView& view, Place target) {
  const ScreenFrame frame = MakeScreenFrame(view);
  TargetLines lines;
  lines.middle = {frame.middleX, frame.middleY};
  // The 180-degree ring, as the picture draws it: r = H (pi/2 - el) / pi x c1/2 at el = -pi/2.
  const double ring = frame.height * frame.halfMagnification;
  lines.target = ScreenPositionOf(view, target);
  double dx = lines.target.x - lines.middle.x;
  double dy = lines.target.y - lines.middle.y;
  const double r = std::hypot(dx, dy);
  if (r > 0 && r < ring * (1 - kOnRing)) {
    dx /= r;
    dy /= r;
  } else {
    // North is up: a bearing b is drawn in the direction (sin b, -cos b).
    const double bearing = HeadingFromCentre(view, target).bearing * kRadiansPerDegree;
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

std::string TargetReadoutText(Place target, Heading shortPath) {
  const Heading longPath = LongPathOf(shortPath);
  std::string text = "目標 ";
  text += ReadoutText(target, shortPath);
  text += "  長経路 ";
  text += ReadoutBearing(longPath.bearing);
  text += "°  ";
  text += ReadoutKilometres(longPath.distanceKm);
  text += " km  ";
  text += LocatorOf(target);
  return text;
}

std::string PointerReadoutText(Place place, Heading heading) {
  std::string text = ReadoutText(place, heading);
  text += "  ";
  text += LocatorOf(place);
  return text;
}

std::optional<std::string> PointerReadoutAt(const PictureView& view, ScreenPosition point) {
  const std::optional<Place> place = PlaceAt(view, point);
  if (!place) return std::nullopt;
  return PointerReadoutText(*place, HeadingFromCentre(view, *place));
}

void DrawTarget(const PictureView& view, Place target, DrawingSurface& surface) {
  const TargetLines lines = LinesOf(view, target);
  surface.DrawWidth(1);
  surface.ForeColor(kShortPath);
  Line(surface, lines.middle, lines.target);
  surface.Circle(static_cast<float>(lines.target.x), static_cast<float>(lines.target.y),
                 static_cast<float>(kTargetRingPixels * view.twipsPerPixel), kShortPath);
  surface.ForeColor(kLongPath);
  Line(surface, lines.middle, lines.away);
  Line(surface, lines.beyond, lines.target);
}

}  // namespace globeview
