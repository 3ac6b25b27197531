#pragma once

#include <vector>

#include "system/drawing_surface.h"
#include "system/utc_time.h"
#include "view/map.h"
#include "view/sun.h"

namespace globeview {

// The shades of the sun's layer, lightest first: where the sun's centre stands below each altitude
// (degrees) the disc takes that shade, over the lighter ones. Day keeps the background.
struct NightShade {
  double altitude;
  Rgb colour;
};
inline constexpr NightShade kCivilTwilight{kSunriseAltitude, {18, 26, 54}};
inline constexpr NightShade kNauticalTwilight{kCivilTwilightAltitude, {22, 34, 78}};
inline constexpr NightShade kAstronomicalTwilight{-12.0, {26, 42, 102}};
inline constexpr NightShade kNight{-18.0, {30, 50, 128}};
// The terminator, where the sun rises and sets, and the mark of the point under the sun.
inline constexpr Rgb kTerminator{255, 140, 60};
inline constexpr Rgb kSubsolarMark{255, 220, 60};

// Night and twilight at one moment, under everything else: each shade is the image of the cap of
// the earth where the sun stands below its altitude, bounded by the image of the cap's circle,
// traced finely enough (a fifth of a pixel from the true curve) that every pixel whose centre lies
// more than that from a boundary takes the shade of the place under it. A cap that holds the
// centre's antipode covers the 180-degree ring, and its image is the disc less the image of the
// lit cap. Over the shades, the terminator and a ring on the point under the sun.
class NightLayer final : public MapLayer {
 public:
  explicit NightLayer(UtcTime time);
  std::vector<Rgb> Colours() const override;
  void Draw(const Projector& projector, DrawingSurface& surface) const override;

 private:
  Subsolar sun_;
};

}  // namespace globeview
