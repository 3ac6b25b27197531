#pragma once

#include <vector>

#include "system/drawing_surface.h"
#include "view/map.h"

namespace globeview {

// The colours of the way to a target: the short path and the ring around the target, and the long
// path, the other way round the earth.
inline constexpr Rgb kShortPath{255, 255, 0};
inline constexpr Rgb kLongPath{255, 128, 0};
// The radius of the ring around the target, pixels.
inline constexpr double kTargetRingPixels = 5;

// Draws the way to a target over the picture, in one-pixel lines. In yellow, the short path
// (straight from the middle of the screen to the target: every great circle through the centre
// is drawn as a straight line through the middle) and a ring of kTargetRingPixels around the
// target; in orange, the long path: from the middle straight away from the target out to the
// 180-degree ring, and from the ring's point beyond the target straight in to it. A target at the
// centre or at its antipode has no direction on the screen; it takes its bearing of 0 (up), so
// its long path runs straight down (at the antipode the target is drawn on the ring straight up).
// Leaves the surface's width at 1 and its foreground colour orange.
void DrawTarget(const Projector& projector, Place target, DrawingSurface& surface);

// The target as a layer of the map, over the others.
class TargetLayer final : public MapLayer {
 public:
  explicit TargetLayer(Place target);
  std::vector<Rgb> Colours() const override;
  void Draw(const Projector& projector, DrawingSurface& surface) const override;

 private:
  Place target_;
};

}  // namespace globeview
