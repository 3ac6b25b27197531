#include "view/projection.h"

#include <algorithm>
#include <cmath>

#include "view/projection_vector.h"

namespace globeview {

namespace {

// The inverse measures the direction on the screen with the true pi; the forward projection's
// own pi falls short of it by this much.
constexpr double kPiShortfall = kTruePi - kPi;

// One step each way, greater-than test first: the angles reaching here are at most one turn out.
double OneTurnIntoRange(double angle) {
  if (angle > kTwoPi) angle -= kTwoPi;
  if (angle < 0) angle += kTwoPi;
  return angle;
}

// The azimuth of (xr, yr) in the program's half-turn arithmetic. On the line xr = 0 the quotient
// has no value; these are the limits of the formula from either side, and 0 at the centre and the
// antipode, where every direction is the same.
double Azimuth(double xr, double yr) {
  if (xr > 0) return std::atan(yr / xr);
  if (xr < 0) return std::atan(yr / xr) + kPi;
  if (yr > 0) return kHalfPi;
  if (yr < 0) return kThreeHalvesPi;
  return 0.0;
}

// The elevation from the vector after the tilt. Because the program's pi is a little short of the
// true one, a point within about 2e-9 rad of the centre or antipode comes out just past +-pi/2; it
// belongs at the middle of the picture (or on its outer ring), so it is held at the bound.
double Elevation(double xr, double yr, double zr) {
  const double horizontal = std::sqrt(xr * xr + yr * yr);
  double el;
  if (horizontal == 0) {
    el = zr >= 0 ? kHalfPi : -kHalfPi;
  } else {
    el = std::atan(zr / horizontal);
  }
  if (el > kHalfPi) el = kHalfPi;
  if (el < -kHalfPi) el = -kHalfPi;
  return el;
}

// The direction on the working sphere that the projection draws at `screenAngle` (atan2(dx, dy)).
// On the left half it adds its own pi to the arctangent, and where the arctangent is negative on
// the right it adds two: the drawn angle falls short of the true direction by that shortfall,
// which is given back here so that a place's pixel leads back to the place.
double WorkingDirection(double screenAngle) {
  if (std::fabs(screenAngle) > kTruePi / 2) return screenAngle + kPiShortfall;
  if (screenAngle < 0) return screenAngle + 2 * kPiShortfall;
  return screenAngle;
}

Place AntipodeOf(Place place) {
  return {std::remainder(place.lon + kDegreesPerHalfTurn, kDegreesPerTurn), -place.lat};
}

}  // namespace

// The set-up both ways share: the turn that brings the centre's meridian to longitude 0 and the
// tilt that brings the centre to the pole.
ProjectionFrame MakeProjectionFrame(Place centre) {
  const double rot = kDegreesPerTurn - centre.lon;
  const double tilt = ((kPoleLatitude - centre.lat) / kDegreesPerHalfTurn) * kPi;
  return ProjectionFrame{(rot / kDegreesPerHalfTurn) * kPi, std::cos(tilt), std::sin(tilt)};
}

ScreenFrame MakeScreenFrame(const PictureView& view) {
  return ScreenFrame{view.magnification * (1.0 / 2), view.screen.height, view.screen.width / 2,
                     view.screen.height / 2};
}

// Forward, one point with the C library's functions: degrees to radians, working copies, the turn
// in longitude, then the tilt of the centre onto the pole of the working sphere and the azimuth
// and elevation there.
ProjectedPoint ProjectPoint(double lonDeg, double latDeg, const ProjectionFrame& f) {
  ProjectedPoint p;
  p.lonRad = OneTurnIntoRange(ToRadians(lonDeg));
  p.latRad = ToRadians(latDeg);
  const double az = OneTurnIntoRange(p.lonRad + f.turn);
  const double el = p.latRad;
  const double cosEl = std::cos(el);
  p.x = std::cos(az) * cosEl;
  p.y = std::sin(az) * cosEl;
  p.z = std::sin(el);
  p.xr = p.x * f.cosTilt - p.z * f.sinTilt;
  p.yr = p.y;
  p.zr = p.x * f.sinTilt + p.z * f.cosTilt;
  p.az = OneTurnIntoRange(Azimuth(p.xr, p.yr));
  p.el = Elevation(p.xr, p.yr, p.zr);
  return p;
}

ScreenPosition PlacePoint(double az, double el, const ScreenFrame& s) {
  const double r = ((s.height * (kHalfPi - el)) / kPi) * s.halfMagnification;
  return {r * std::sin(az) + s.middleX, r * std::cos(az) + s.middleY};
}

Projector::Projector(const PictureView& view)
    : view_(view),
      frame_(MakeProjectionFrame(view.centre)),
      screen_(MakeScreenFrame(view)),
      cosTurn_(std::cos(frame_.turn)),
      sinTurn_(std::sin(frame_.turn)) {}

EarthVector EarthVectorOf(Place place) {
  const double lon = ToRadians(place.lon);
  const double lat = ToRadians(place.lat);
  return {std::cos(lon) * std::cos(lat), std::sin(lon) * std::cos(lat), std::sin(lat)};
}

// ProjectPoint and PlacePoint without their angles: the turn and the tilt as rotations of the
// vector, and the azimuth's sine and cosine straight from it.
ScreenPosition Projector::PositionOfVector(const EarthVector& place) const {
  const double x = place.x * cosTurn_ - place.y * sinTurn_;
  const double y = place.x * sinTurn_ + place.y * cosTurn_;
  const double xr = x * frame_.cosTilt - place.z * frame_.sinTilt;
  const double zr = x * frame_.sinTilt + place.z * frame_.cosTilt;
  const double horizontal = std::sqrt(xr * xr + y * y);
  if (horizontal == 0) return PlacePoint(0, Elevation(xr, y, zr), screen_);
  const double el = std::max(-kHalfPi, std::min(kHalfPi, std::atan(zr / horizontal)));
  const double r = ((screen_.height * (kHalfPi - el)) / kPi) * screen_.halfMagnification;
  return {r * (y / horizontal) + screen_.middleX, r * (xr / horizontal) + screen_.middleY};
}

double Projector::RingRadius(double degrees) const {
  // H n s / 4 for the four designed rings: degrees/180 is exact for them, and so is the order.
  return screen_.height * (degrees / kDegreesPerHalfTurn) * screen_.halfMagnification;
}

ScreenPosition Projector::PositionOf(Place place) const {
  // A longitude given many turns out is the same place; taken off in degrees, exactly, before
  // radians would lose it.
  const ProjectedPoint p =
      ProjectPoint(std::remainder(place.lon, kDegreesPerTurn), place.lat, frame_);
  return PlacePoint(p.az, p.el, screen_);
}

// Inverse, one screen position: back from the screen to the working sphere, untilted, unturned.
std::optional<Place> Projector::PlaceAt(ScreenPosition point) const {
  const ScreenFrame& s = screen_;
  const double dx = point.x - s.middleX;
  const double dy = point.y - s.middleY;
  const double r = std::hypot(dx, dy);
  const double ringRadius = RingRadius(kDegreesPerHalfTurn);
  if (!(r <= ringRadius)) return std::nullopt;
  // The projection draws every place within its pi's shortfall of the antipode on the ring, in a
  // direction that rounding decides; the ring stands for the antipode itself.
  if (r == ringRadius) return AntipodeOf(DrawnCentre(view_));

  const double el = kHalfPi - (r / s.halfMagnification) * kPi / s.height;
  const double direction = WorkingDirection(std::atan2(dx, dy));
  const double cosEl = std::cos(el);
  const double xr = std::cos(direction) * cosEl;
  const double yr = std::sin(direction) * cosEl;
  const double zr = std::sin(el);

  const ProjectionFrame& f = frame_;
  const double x = xr * f.cosTilt + zr * f.sinTilt;
  const double y = yr;
  const double z = zr * f.cosTilt - xr * f.sinTilt;

  // Back through the turn as the projection made it: a sum past the program's full turn had one
  // such turn taken off.
  double turned = std::atan2(y, x);
  if (turned < 0) turned += 2 * kTruePi;
  double lonRad = turned - f.turn;
  if (lonRad < 0) lonRad += kTwoPi;
  const double lon = std::remainder(ToDegrees(lonRad), kDegreesPerTurn);
  // Within the shortfall of a pole the true latitude is a hair past the program's 90 degrees.
  const double lat =
      std::clamp(ToDegrees(std::atan2(z, std::hypot(x, y))), -kPoleLatitude, kPoleLatitude);
  return Place{lon, lat};
}

void Projector::Project(PointTable& table) const {
  ProjectTable(table, frame_);
  PlaceTable(table);
}

void Projector::PlaceTable(PointTable& table) const {
  globeview::PlaceTable(table, screen_);
}

std::optional<Place> PlaceAt(const PictureView& view, ScreenPosition point) {
  return Projector(view).PlaceAt(point);
}

Place DrawnCentre(const PictureView& view) {
  double lat = std::remainder(view.centre.lat, kDegreesPerTurn);
  double lon = view.centre.lon;
  if (lat > kPoleLatitude || lat < -kPoleLatitude) {
    lat = std::copysign(kDegreesPerHalfTurn, lat) - lat;
    lon += kDegreesPerHalfTurn;
  }
  return {std::remainder(lon, kDegreesPerTurn), lat};
}

ScreenPosition ScreenPositionOf(const PictureView& view, Place place) {
  return Projector(view).PositionOf(place);
}

void Project(PointTable& table, Place centre) {
  ProjectTable(table, MakeProjectionFrame(centre));
}

void ComputeScreenPositions(PointTable& table, const PictureView& view) {
  PlaceTable(table, MakeScreenFrame(view));
}

}  // namespace globeview
