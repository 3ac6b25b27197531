#include "view/night_layer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

#include "output/raster_surface.h"

namespace globeview {

// Solstices and an equinox, the terminator by the antipode, the poles' polar night and day: every
// pixel whose place and neighbours' places (PlaceAt, the readout's) share the sun's shade, by its
// altitude there, is drawn in it. The point under the sun's mark is left out.
TEST(NightLayerTest, EachPixelTakesTheShadeOfThePlaceUnderIt) {
  const std::tuple<const char*, Place, double> kCases[] = {
      {"2026-12-21T09:00Z", {139.7, 35.7}, 1},
      {"2026-12-21T07:50Z", {139.7, 35.7}, 1},  // the terminator by the antipode
      {"2026-03-20T12:00Z", {139.7, 35.7}, 4},
      {"2026-12-21T12:00Z", {0, 90}, 1},   // polar night all round the middle
      {"2026-12-21T00:00Z", {0, -90}, 1},  // polar day
  };
  constexpr int kWidth = 480, kHeight = 270;
  const auto argb = [](Rgb c) { return 0xff000000u | std::uint32_t(c.r << 16 | c.g << 8 | c.b); };
  for (const auto& [when, centre, magnification] : kCases) {
    SCOPED_TRACE(when);
    const UtcTime time = *ParseUtcTime(when);
    const PictureView view = PictureView::OfPixels(centre, magnification, kWidth, kHeight);
    std::vector<std::uint32_t> pixels(kWidth * kHeight);
    RasterSurface surface(
        Rgb32Pixels{reinterpret_cast<std::uint8_t*>(pixels.data()), kWidth * 4, kWidth, kHeight},
        view.twipsPerPixel);
    surface.BackColor(kBackground);
    MapLayers layers;
    layers.push_back(std::make_unique<NightLayer>(time));
    DrawMap(layers, view, surface);

    const Projector projector(view);
    const Subsolar sun = SubsolarPoint(time);
    std::vector<std::optional<std::uint32_t>> under(kWidth * kHeight);
    for (int k = 0; k < kWidth * kHeight; ++k) {
      const auto place = projector.PlaceAt({k % kWidth * 15.0, k / kWidth * 15.0});
      if (!place) continue;
      Rgb shade = kBackground;
      for (const NightShade& s :
           {kCivilTwilight, kNauticalTwilight, kAstronomicalTwilight, kNight}) {
        if (SunAltitude(sun, *place) < s.altitude) shade = s.colour;
      }
      under[k] = argb(shade);
    }
    const ScreenPosition mark = projector.PositionOf(sun.place);
    int checked = 0;
    for (int k = kWidth + 1; k < kWidth * (kHeight - 1) - 1; ++k) {
      bool clear = under[k] && std::hypot(k % kWidth - mark.x / 15, k / kWidth - mark.y / 15) > 8;
      for (const int near :
           {-kWidth - 1, -kWidth, -kWidth + 1, -1, 1, kWidth - 1, kWidth, kWidth + 1}) {
        clear = clear && under[k + near] == under[k];
      }
      checked += clear ? 1 : 0;
      ASSERT_TRUE(!clear || pixels[k] == *under[k]) << "pixel " << k % kWidth << "," << k / kWidth;
    }
    EXPECT_GT(checked, 40000);
  }
}

}  // namespace globeview
