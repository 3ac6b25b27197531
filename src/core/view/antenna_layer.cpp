#include "view/antenna_layer.h"

#include <cmath>

#include "system/angles.h"
#include "view/projection.h"

namespace globeview {

namespace {

// A line from the middle to the 180-degree ring; north is up, so a bearing b runs in the
// direction (sin b, -cos b).
void Spoke(const Projector& projector, double bearing, DrawingSurface& surface) {
  const ScreenPosition middle = projector.Middle();
  const double ring = projector.RingRadius(kDegreesPerHalfTurn);
  const double radians = bearing * kTrueRadiansPerDegree;
  surface.Line(static_cast<float>(middle.x), static_cast<float>(middle.y),
               static_cast<float>(middle.x + ring * std::sin(radians)),
               static_cast<float>(middle.y - ring * std::cos(radians)));
}

}  // namespace

AntennaLayer::AntennaLayer(double bearing, double beamWidth)
    : bearing_(bearing), beamWidth_(beamWidth) {}

std::vector<Rgb> AntennaLayer::Colours() const {
  return {kAntennaNeedle, kAntennaBeam};
}

void AntennaLayer::Draw(const Projector& projector, DrawingSurface& surface) const {
  // The edges first, so the needle lies over them where a narrow beam meets it.
  surface.DrawWidth(1);
  surface.ForeColor(kAntennaBeam);
  Spoke(projector, bearing_ - beamWidth_ / 2, surface);
  Spoke(projector, bearing_ + beamWidth_ / 2, surface);
  surface.DrawWidth(kNeedlePixels);
  surface.ForeColor(kAntennaNeedle);
  Spoke(projector, bearing_, surface);
}

}  // namespace globeview
