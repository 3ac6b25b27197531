#include "view/rotator_aim.h"

#include <cmath>

#include "system/angles.h"

namespace globeview {

namespace {

// Hamlib reports its limits as floats: a limit of 180 may come back a hair below or above it.
constexpr double kRangeSlack = 1e-4;

double InOneTurn(double degrees) {
  const double turned = std::fmod(degrees, kDegreesPerTurn);
  return turned < 0 ? turned + kDegreesPerTurn : turned;
}

}  // namespace

std::optional<double> RotatorCommand(double bearing, double offset, RotatorRange range,
                                     std::optional<double> current) {
  if (!std::isfinite(bearing) || !std::isfinite(offset)) return std::nullopt;
  // The lowest azimuth in the range that points the antenna at the bearing, then each turn on.
  const double first = range.minAz +
                       InOneTurn(InOneTurn(bearing - offset) - range.minAz + kRangeSlack) -
                       kRangeSlack;
  std::optional<double> best;
  for (double azimuth = first; azimuth <= range.maxAz + kRangeSlack; azimuth += kDegreesPerTurn) {
    if (!best || (current && std::abs(azimuth - *current) < std::abs(*best - *current))) {
      best = azimuth;
    }
  }
  return best;
}

double AntennaBearing(double azimuth, double offset) {
  return InOneTurn(azimuth + offset);
}

}  // namespace globeview
