#include "view/projection.h"

#include <cmath>

namespace globeview {

namespace {

constexpr double kTwoPi = 2 * kPi;
constexpr double kHalfPi = kPi / 2;
constexpr double kThreeHalvesPi = 3 * kPi / 2;
constexpr double kDegreesPerHalfTurn = 180.0;
constexpr double kDegreesPerTurn = 360.0;
constexpr double kPoleLatitude = 90.0;

// One step each way, greater-than test first: the values reaching here are at most one turn out.
inline double OneTurnIntoRange(double angle) {
  if (angle > kTwoPi) angle -= kTwoPi;
  if (angle < 0) angle += kTwoPi;
  return angle;
}

// Degrees to radians, multiplying first. The loader never lets through a value whose product
// overflows.
inline double ToRadians(double degrees) {
  return degrees * kPi / kDegreesPerHalfTurn;
}

// Pass 1, degrees to radians, longitude into 0..2pi.
void ToRadiansPass(PointTable& t) {
  for (int i = 1; i <= kPointCount; ++i) {
    if (!t.usable[i]) continue;
    t.lonRad[i] = OneTurnIntoRange(ToRadians(t.lonDeg[i]));
    t.latRad[i] = ToRadians(t.latDeg[i]);
  }
}

// Pass 2, working copies.
void WorkingCopiesPass(PointTable& t) {
  for (int i = 1; i <= kPointCount; ++i) {
    if (!t.usable[i]) continue;
    t.az[i] = t.lonRad[i];
    t.el[i] = t.latRad[i];
  }
}

// Pass 3, turn in longitude so that the centre's meridian is at 0.
void TurnPass(PointTable& t, double a1) {
  const double rot = kDegreesPerTurn - a1;
  const double turn = (rot / kDegreesPerHalfTurn) * kPi;
  for (int i = 1; i <= kPointCount; ++i) {
    if (!t.usable[i]) continue;
    t.az[i] = OneTurnIntoRange(t.az[i] + turn);
  }
}

// The azimuth of (xr, yr) in the program's half-turn arithmetic. On the line xr = 0 the quotient
// has no value; these are the limits of the formula from either side, and 0 at the centre and the
// antipode, where every direction is the same.
inline double Azimuth(double xr, double yr) {
  if (xr > 0) return std::atan(yr / xr);
  if (xr < 0) return std::atan(yr / xr) + kPi;
  if (yr > 0) return kHalfPi;
  if (yr < 0) return kThreeHalvesPi;
  return 0.0;
}

// The elevation from the vector after the tilt. Because the program's pi is a little short of the
// true one, a point within about 2e-9 rad of the centre or antipode comes out just past +-pi/2; it
// belongs at the middle of the picture (or on its outer ring), so it is held at the bound.
inline double Elevation(double xr, double yr, double zr) {
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

// Pass 4, tilt the centre onto the pole of the working sphere, then azimuth and elevation.
void TiltPass(PointTable& t, double b1) {
  const double tilt = ((kPoleLatitude - b1) / kDegreesPerHalfTurn) * kPi;
  const double cosTilt = std::cos(tilt);
  const double sinTilt = std::sin(tilt);
  for (int i = 1; i <= kPointCount; ++i) {
    if (!t.usable[i]) continue;
    const double az = t.az[i];
    const double el = t.el[i];
    const double cosEl = std::cos(el);
    const double x = std::cos(az) * cosEl;
    const double y = std::sin(az) * cosEl;
    const double z = std::sin(el);
    const double xr = x * cosTilt - z * sinTilt;
    const double yr = y;
    const double zr = x * sinTilt + z * cosTilt;
    t.x[i] = x;
    t.y[i] = y;
    t.z[i] = z;
    t.xr[i] = xr;
    t.yr[i] = yr;
    t.zr[i] = zr;
    t.az[i] = OneTurnIntoRange(Azimuth(xr, yr));
    t.el[i] = Elevation(xr, yr, zr);
  }
}

}  // namespace

void Project(PointTable& table, double a1, double b1) {
  ToRadiansPass(table);
  WorkingCopiesPass(table);
  TurnPass(table, a1);
  TiltPass(table, b1);
}

void ComputeScreenPositions(PointTable& table, double c1, double width, double height) {
  const double s = c1 * (1.0 / 2);
  const double middleX = width / 2;
  const double middleY = height / 2;
  const double* az = table.az;
  const double* el = table.el;
  double* sx = table.sx;
  double* sy = table.sy;
  for (int i = 1; i <= kPointCount; ++i) {
    const double r = ((height * (kHalfPi - el[i])) / kPi) * s;
    sx[i] = r * std::sin(az[i]) + middleX;
    sy[i] = r * std::cos(az[i]) + middleY;
  }
}

}  // namespace globeview
