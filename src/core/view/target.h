#pragma once

#include <optional>
#include <string>

#include "system/drawing_surface.h"
#include "view/geodesy.h"

namespace globeview {

// The colours of the way to a target: the short path and the ring around the target, and the long
// path, the other way round the earth.
inline constexpr Rgb kShortPath{255, 255, 0};
inline constexpr Rgb kLongPath{255, 128, 0};
// The radius of the ring around the target, pixels.
inline constexpr double kTargetRingPixels = 5;

// The line for a target, the pointer's readout of the place with its long path and its locator:
// "目標 経度 -74.00  緯度 40.70  方位 25.1°  距離 10,849 km  長経路 205.1°  29,181 km  FN30aq".
std::string TargetReadoutText(Place target, Heading shortPath);

// The pointer's readout with the locator of its place appended: "経度 -73.99  緯度 40.75 方位 25.1°
// 距離 10,844 km  FN30as" (two spaces before the locator, as between the other groups).
std::string PointerReadoutText(Place place, Heading heading);

// That line for the place under a screen position, or nothing off the earth's disc.
std::optional<std::string> PointerReadoutAt(const PictureView& view, ScreenPosition point);

// Draws the way to a target over the picture, in one-pixel lines. In yellow, the short path
// (straight from the middle of the screen to the target: every great circle through the centre
// is drawn as a straight line through the middle) and a ring of kTargetRingPixels around the
// target; in orange, the long path: from the middle straight away from the target out to the
// 180-degree ring, and from the ring's point beyond the target straight in to it. A target at the
// centre or at its antipode has no direction on the screen; it takes its bearing of 0 (up), so
// its long path runs straight down (at the antipode the target is drawn on the ring straight up).
// Leaves the surface's width at 1 and its foreground colour orange.
void DrawTarget(const PictureView& view, Place target, DrawingSurface& surface);

}  // namespace globeview
