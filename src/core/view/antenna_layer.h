#pragma once

#include <vector>

#include "system/drawing_surface.h"
#include "view/map.h"

namespace globeview {

// The antenna's colours: the needle where it points, and the fainter edges of its beam.
inline constexpr Rgb kAntennaNeedle{0, 255, 255};
inline constexpr Rgb kAntennaBeam{0, 128, 128};
// The needle stands out from the one-pixel lines beneath it.
inline constexpr int kNeedlePixels = 2;
// A beam's width, degrees, when none is given.
inline constexpr double kDefaultBeamWidth = 60;

// Where a beam antenna points: a needle from the middle of the screen straight out to the
// 180-degree ring in the direction of its bearing (degrees clockwise from north), and the edges of
// its beam, half the beam width either side, as two fainter one-pixel lines. On this map every
// great circle through the centre is a straight line through the middle, so the lines show what
// the beam covers all the way round the earth.
class AntennaLayer final : public MapLayer {
 public:
  AntennaLayer(double bearing, double beamWidth);
  std::vector<Rgb> Colours() const override;
  void Draw(const Projector& projector, DrawingSurface& surface) const override;

 private:
  double bearing_;
  double beamWidth_;
};

}  // namespace globeview
