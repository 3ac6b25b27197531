#include "view/geodesy.h"

#include <cmath>

#include "system/angles.h"

namespace globeview {

namespace {

// A place nearer than this (radians) to the centre or its antipode has no direction of its own.
constexpr double kNoDirection = 1e-12;

}  // namespace

double ReducedLongitude(double lon) {
  return std::remainder(lon, kDegreesPerTurn);
}

Heading LongPathOf(Heading shortPath) {
  Heading longPath;
  // Taking the half turn off is exact; adding it may round up to a full turn, which is north.
  longPath.bearing = shortPath.bearing >= kDegreesPerHalfTurn
                         ? shortPath.bearing - kDegreesPerHalfTurn
                         : shortPath.bearing + kDegreesPerHalfTurn;
  if (longPath.bearing >= kDegreesPerTurn) longPath.bearing = 0;
  longPath.distanceKm = kGreatCircleKm - shortPath.distanceKm;
  return longPath;
}

Heading HeadingFromCentre(const PictureView& view, Place place) {
  const Place centre = DrawnCentre(view);
  const double phi1 = centre.lat * kTrueRadiansPerDegree;
  const double phi2 = place.lat * kTrueRadiansPerDegree;
  // Both longitudes are reduced before the difference: 1e17 minus the centre would lose the
  // place's own degrees. The remainders are exact, so the centre's own longitude written either
  // way gives exactly 0.
  const double dLambda =
      ReducedLongitude(ReducedLongitude(place.lon) - centre.lon) * kTrueRadiansPerDegree;
  const double east = std::cos(phi2) * std::sin(dLambda);
  const double north =
      std::cos(phi1) * std::sin(phi2) - std::sin(phi1) * std::cos(phi2) * std::cos(dLambda);
  const double along =
      std::sin(phi1) * std::sin(phi2) + std::cos(phi1) * std::cos(phi2) * std::cos(dLambda);
  const double across = std::hypot(east, north);

  Heading heading;
  heading.distanceKm = std::atan2(across, along) * kEarthRadiusKm;
  if (across >= kNoDirection) {
    double bearing = std::atan2(east, north) / kTrueRadiansPerDegree;
    if (bearing < 0) bearing += kDegreesPerTurn;
    // A direction a rounding step west of north comes out as a full turn.
    heading.bearing = bearing < kDegreesPerTurn ? bearing : 0.0;
  }
  return heading;
}

}  // namespace globeview
