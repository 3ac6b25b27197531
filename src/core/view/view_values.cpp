#include "view/view_values.h"

#include <cmath>
#include <optional>

#include "system/angles.h"
#include "system/numeric.h"

namespace globeview {

namespace {

// Up to this many steps the steps are really taken, so that every ordinary value ends bit for bit
// where the one-step-at-a-time rule puts it. Beyond it a value is first brought near its range by
// an exact remainder, so that even 1e308 finishes at once.
constexpr double kMaxSteps = 1e6;

constexpr double kMaxMagnification = 10.0;
constexpr double kMinMagnification = 1.0;

// Subtract 360 while above 360, then add 360 while below 0; 360 and 0 themselves stay.
// Returns whether any step was taken.
bool BringLongitudeIntoRange(double& a) {
  const bool stepped = a > kDegreesPerTurn || a < 0;
  if (std::fabs(a) > kDegreesPerTurn * (kMaxSteps + 1)) {
    // std::fmod is exact. A positive multiple of 360 ends on 360, as the subtraction steps would;
    // a negative one on +0, as the addition steps would.
    const double r = std::fmod(a, kDegreesPerTurn);
    if (a > 0) {
      a = (r == 0) ? kDegreesPerTurn : r;
    } else {
      a = (r == 0) ? 0.0 : r;
    }
  }
  while (a > kDegreesPerTurn) a -= kDegreesPerTurn;
  while (a < 0) a += kDegreesPerTurn;
  return stepped;
}

// Carries a latitude beyond a pole over it: the centre moves to the far side of the pole on the
// opposite meridian (a turned by 180). The two kinds of step alternate until the latitude is in
// range: a latitude of 450 or more becomes one below -90 after its first step (and one below -270
// becomes one above 90), so a single pass of each kind would leave it out of range.
// Returns whether any step was taken.
bool CarryLatitudeOverThePole(double& b, double& a) {
  bool stepped = false;
  if (std::fabs(b) > kDegreesPerHalfTurn * (kMaxSteps + 1)) {
    // Going once round a meridian is an even number of steps, which turns a by whole turns only.
    b = std::fmod(b, kDegreesPerTurn);
    stepped = true;
  }
  while (b > kPoleLatitude || b < -kPoleLatitude) {
    while (b > kPoleLatitude) {
      b = kDegreesPerHalfTurn - b;
      a += kDegreesPerHalfTurn;
      stepped = true;
    }
    while (b < -kPoleLatitude) {
      b = -kDegreesPerHalfTurn - b;
      a += kDegreesPerHalfTurn;
      stepped = true;
    }
  }
  return stepped;
}

std::optional<double> FiniteNumber(const FieldValue& value) {
  const auto number = value.AsNumber();
  if (!number || !Finite(*number)) return std::nullopt;
  return number;
}

}  // namespace

std::vector<std::string> Validate(const std::string& text1, const std::string& text2,
                                  const std::string& text3) {
  std::vector<std::string> messages;
  if (!IsNumeric(text1)) messages.emplace_back(kLongitudeMessage);
  if (!IsNumeric(text2)) messages.emplace_back(kLatitudeMessage);
  if (!IsNumeric(text3)) messages.emplace_back(kMagnificationMessage);
  return messages;
}

bool Normalise(ViewValues& view) {
  const auto a0 = FiniteNumber(view.a1);
  const auto b0 = FiniteNumber(view.b1);
  const auto c0 = FiniteNumber(view.c1);
  if (!a0 || !b0 || !c0) return false;

  double a = *a0;
  double b = *b0;
  double c = *c0;

  bool aChanged = BringLongitudeIntoRange(a);
  const bool bChanged = CarryLatitudeOverThePole(b, a);
  if (bChanged) {
    BringLongitudeIntoRange(a);
    aChanged = true;
  }

  bool cChanged = false;
  if (c > kMaxMagnification) {
    c = kMaxMagnification;
    cChanged = true;
  }
  if (c < kMinMagnification) {
    c = kMinMagnification;
    cChanged = true;
  }

  if (aChanged) view.a1 = a;
  if (bChanged) view.b1 = b;
  if (cChanged) view.c1 = c;
  return true;
}

}  // namespace globeview
