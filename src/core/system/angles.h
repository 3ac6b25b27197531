#pragma once

// The program's angles: its pi, the turns in degrees and radians, and the conversions between them.
// Every angle the program computes with goes through these, so that the drawing, the readout and
// the loader agree to the last bit.

#include <numbers>

namespace globeview {

// pi as the program uses it everywhere, not the full double-precision value.
inline constexpr double kPi = 3.14159265;
inline constexpr double kTwoPi = 2 * kPi;
inline constexpr double kHalfPi = kPi / 2;
inline constexpr double kThreeHalvesPi = 3 * kPi / 2;

inline constexpr double kDegreesPerHalfTurn = 180.0;
inline constexpr double kDegreesPerTurn = 360.0;
// The latitude of the north pole; the south pole's is its negative.
inline constexpr double kPoleLatitude = 90.0;

// The full double-precision pi, for what measures the earth rather than draws it: the geodesy's
// distances and bearings, and the inverse's direction on the screen, which gives back the drawn
// angle's shortfall.
inline constexpr double kTruePi = std::numbers::pi;
inline constexpr double kTrueRadiansPerDegree = kTruePi / kDegreesPerHalfTurn;

// Degrees to radians, multiplying first, as the table's projection does.
inline double ToRadians(double degrees) {
  return degrees * kPi / kDegreesPerHalfTurn;
}

// Radians to degrees, the inverse step.
inline double ToDegrees(double radians) {
  return radians * kDegreesPerHalfTurn / kPi;
}

}  // namespace globeview
