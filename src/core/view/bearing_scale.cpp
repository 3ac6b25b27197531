#include "view/bearing_scale.h"

#include <cmath>
#include <optional>
#include <string>

#include "system/angles.h"
#include "view/geodesy.h"
#include "view/grid_layer.h"

namespace globeview {

namespace {

constexpr int kTickStepDegrees = 5;
constexpr int kLongTickStepDegrees = 10;
constexpr int kNumberStepDegrees = 30;
constexpr double kShortTickPixels = 5;
constexpr double kLongTickPixels = 10;
// The middle of a bearing's number lies this far inside the ring, pixels.
constexpr double kNumberInsetPixels = 23;
// The bearings of the points straight up and right of the middle are read this far from it.
constexpr double kProbeDegrees = 10;

// The bearing the readout gives a screen position, none off the disc.
std::optional<double> BearingAt(const Projector& projector, ScreenPosition point) {
  const std::optional<Place> place = projector.PlaceAt(point);
  if (!place) return std::nullopt;
  return HeadingFromCentre(projector.View(), *place).bearing;
}

}  // namespace

std::vector<Rgb> BearingScaleLayer::Colours() const {
  return {kRingTextColour};
}

void BearingScaleLayer::Draw(const Projector& projector, DrawingSurface& surface) const {
  // Where bearings point on the screen, read as the readout reads them: the bearing straight up
  // and whether they grow clockwise.
  const ScreenPosition middle = projector.Middle();
  const double probe = projector.RingRadius(kProbeDegrees);
  const std::optional<double> up = BearingAt(projector, {middle.x, middle.y - probe});
  const std::optional<double> right = BearingAt(projector, {middle.x + probe, middle.y});
  const LabelPlan& plan = labels_->Plan(projector);
  // The distances are there whenever the font is, and the numbers need it too.
  if (up && right && !plan.rings.empty()) {
    const double turn = std::fmod(*right - *up + 360, 360);
    const double sense = turn < 180 ? 1 : -1;
    const double tpp = projector.View().twipsPerPixel;
    const double ring = projector.RingRadius(180);
    const auto point = [&](double bearing, double inset) {
      const double angle = sense * (bearing - *up) * kTruePi / 180;
      const double r = ring - inset * tpp;
      return ScreenPosition{middle.x + r * std::sin(angle), middle.y - r * std::cos(angle)};
    };
    surface.DrawWidth(1);
    for (int bearing = 0; bearing < 360; bearing += kTickStepDegrees) {
      const double length =
          bearing % kLongTickStepDegrees == 0 ? kLongTickPixels : kShortTickPixels;
      const ScreenPosition outer = point(bearing, 0);
      const ScreenPosition inner = point(bearing, length);
      surface.Line(static_cast<float>(outer.x), static_cast<float>(outer.y),
                   static_cast<float>(inner.x), static_cast<float>(inner.y));
    }
    for (int bearing = 0; bearing < 360; bearing += kNumberStepDegrees) {
      const ScreenPosition at = point(bearing, kNumberInsetPixels);
      surface.Text(static_cast<float>(at.x), static_cast<float>(at.y), std::to_string(bearing),
                   {kSmallTextPixels, kRingTextColour, TextAnchor::kCentre});
    }
  }
  DrawTexts(plan.rings, surface);
}

}  // namespace globeview
