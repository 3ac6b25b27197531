#include "view/night_layer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "output/raster_surface.h"

namespace globeview {
namespace {

std::uint32_t Pixel(Rgb c) {
  return 0xff000000u | static_cast<std::uint32_t>(c.r << 16 | c.g << 8 | c.b);
}

// The oracle: the shade of the place under a pixel, from the sun's altitude there.
std::optional<Rgb> ShadeUnder(const Projector& projector, const Subsolar& sun, int x, int y) {
  const double t = projector.View().twipsPerPixel;
  const std::optional<Place> place = projector.PlaceAt({x * t, y * t});
  if (!place) return std::nullopt;
  const double altitude = SunAltitude(sun, *place);
  Rgb shade = kBackground;
  for (const NightShade& s : {kCivilTwilight, kNauticalTwilight, kAstronomicalTwilight, kNight}) {
    if (altitude < s.altitude) shade = s.colour;
  }
  return shade;
}

// Solstices and equinoxes, the grey line through the antipode, and the poles' polar day and night:
// every pixel whose place and neighbours' places share a shade is drawn in it.
TEST(NightLayerTest, EachPixelTakesTheShadeOfThePlaceUnderIt) {
  const struct {
    const char* time;
    Place centre;
    std::optional<Rgb> middle;
  } kCases[] = {
      {"2026-12-21T09:00Z", {139.7, 35.7}, std::nullopt},
      {"2026-12-21T07:50Z", {139.7, 35.7}, std::nullopt},  // the terminator near the antipode
      {"2026-03-20T12:00Z", {139.7, 35.7}, kNight.colour},
      {"2026-03-20T12:00Z", {-40.3, -35.7}, kBackground},
      {"2026-12-21T12:00Z", {0, 90}, kNight.colour},  // polar night
      {"2026-12-21T00:00Z", {0, -90}, kBackground},   // polar day
      {"2026-06-21T12:00Z", {30, 89}, kBackground},
      {"2026-06-21T03:00Z", {0, -80}, kNight.colour},
  };
  constexpr int kWidth = 480, kHeight = 270;
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.time) + " " + std::to_string(c.centre.lon));
    const UtcTime time = *ParseUtcTime(c.time);
    const PictureView view = PictureView::OfPixels(c.centre, 1, kWidth, kHeight);
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
    const ScreenPosition mark = projector.PositionOf(sun.place);
    std::vector<std::optional<Rgb>> under(kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) under[y * kWidth + x] = ShadeUnder(projector, sun, x, y);
    }
    int checked = 0;
    for (int y = 1; y + 1 < kHeight; ++y) {
      for (int x = 1; x + 1 < kWidth; ++x) {
        const std::optional<Rgb>& shade = under[y * kWidth + x];
        bool clear = shade && std::hypot(x - mark.x / 15, y - mark.y / 15) > 8;
        for (int dy = -1; dy <= 1; ++dy) {
          for (int dx = -1; dx <= 1; ++dx)
            clear = clear && under[(y + dy) * kWidth + x + dx] == shade;
        }
        if (!clear) continue;
        ++checked;
        ASSERT_EQ(pixels[y * kWidth + x], Pixel(*shade)) << "pixel " << x << "," << y;
      }
    }
    EXPECT_GT(checked, 40000);
    if (c.middle) {
      EXPECT_EQ(pixels[kHeight / 2 * kWidth + kWidth / 2], Pixel(*c.middle));
    }
  }
}

}  // namespace
}  // namespace globeview
