#include "view/target.h"
#include "view/readout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "output/raster_surface.h"

namespace globeview {
namespace {

// Tokyo on a 1920x1080-pixel screen of 15 twips per pixel.
const PictureView kTokyo{{139.7, 35.7}, 1, {28800, 16200}};
const Place kNewYork{-74, 40.7};
const Place kTokyoAntipode{-40.3, -35.7};

// The long path is the short one's reverse bearing and the rest of the great circle, 40,030 km.
TEST(TargetTest, TargetLinesGiveTheLongPathAndTheLocator) {
  const struct {
    Place target;
    const char* line;
  } cases[] = {
      {kNewYork,
       "目標 経度 -74.00  緯度 40.70  方位 25.1°  距離 10,849 km  長経路 205.1°  29,181 km  "
       "FN30aq"},
      {{-0.13, 51.51},
       "目標 経度 -0.13  緯度 51.51  方位 336.3°  距離 9,558 km  長経路 156.3°  30,472 km  IO91wm"},
      {{139.7, 35.7},  // the whole circle, due south
       "目標 経度 139.70  緯度 35.70  方位 0.0°  距離 0 km  長経路 180.0°  40,030 km  PM95uq"},
      {kTokyoAntipode,  // the other half, due south
       "目標 経度 -40.30  緯度 -35.70  方位 0.0°  距離 20,015 km  長経路 180.0°  20,015 km  "
       "GF94uh"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TargetReadoutText(c.target, HeadingFromCentre(kTokyo, c.target)), c.line);
  }
  // Half a turn added to a bearing a hair short of 180 rounds to a full turn: north.
  EXPECT_EQ(LongPathOf({std::nextafter(180.0, 0.0), 0}).bearing, 0.0);
}

TEST(TargetTest, ThePointersLineEndsWithTheLocator) {
  const Place manhattan{-73.99, 40.75};
  EXPECT_EQ(PointerReadoutText(manhattan, HeadingFromCentre(kTokyo, manhattan)),
            "経度 -73.99  緯度 40.75  方位 25.1°  距離 10,844 km  FN30as");
  // New York's pixel, as globeview-render gives it: 1084.205, 274.959.
  EXPECT_EQ(PointerReadoutAt(Projector(kTokyo), {1084.205 * 15, 274.959 * 15}),
            "経度 -74.00  緯度 40.70  方位 25.1°  距離 10,849 km  FN30aq");
  EXPECT_FALSE(PointerReadoutAt(Projector(kTokyo), {0, 0}));
}

// Whether a pixel next to (x, y) (or that one) has the colour: the rasteriser rounds each line
// to whole pixels.
using Colour = std::uint32_t;

constexpr Colour Argb(unsigned r, unsigned g, unsigned b) {
  return 0xff000000u | r << 16 | g << 8 | b;
}

// Rows of 32-bit pixels without gaps, as the window's picture holds them.
struct Image {
  Image(int w, int h) : width(w), height(h), pixels(std::size_t(w) * h) {}
  bool valid(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  Colour pixel(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
  Rgb32Pixels Rows() {
    return {reinterpret_cast<std::uint8_t*>(pixels.data()), std::ptrdiff_t(sizeof(Colour)) * width,
            width, height};
  }
  int width;
  int height;
  std::vector<Colour> pixels;
};

bool LitNear(const Image& image, double x, double y, Colour colour) {
  const int cx = int(std::lround(x)), cy = int(std::lround(y));
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (image.valid(cx + dx, cy + dy) && image.pixel(cx + dx, cy + dy) == colour) return true;
  return false;
}

// On a 400x300-pixel picture the 180-degree ring has a radius of 150 pixels about pixel
// (200, 150), and a place at angular distance d lies 150 d / pi pixels out in its bearing, north
// up. The paths are checked at points along the lines that way.
TEST(TargetTest, DrawsTheShortPathYellowAndTheLongPathOrange) {
  const PictureView view{{139.7, 35.7}, 1, {400 * 15, 300 * 15}, 15};
  const Colour yellow = Argb(255, 255, 0), orange = Argb(255, 128, 0);
  const struct {
    const char* name;
    Place target;
    double bearing, distanceKm;
  } cases[] = {
      {"New York", kNewYork, 25.1090, 10848.930},
      {"the antipode, drawn straight up", kTokyoAntipode, 0, kGreatCircleKm / 2},
      {"the centre, its long path straight down", {139.7, 35.7}, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Image image(400, 300);
    RasterSurface surface(image.Rows(), 15);
    surface.BackColor({0, 0, 0});
    surface.Cls();
    DrawTarget(Projector(view), c.target, surface);

    const double b = c.bearing * std::numbers::pi / 180;
    const double ux = std::sin(b), uy = -std::cos(b);
    const double out = 150 * c.distanceKm / (kGreatCircleKm / 2);
    const double tx = 200 + out * ux, ty = 150 + out * uy;
    for (const double t : {0.25, 0.5, 0.75}) {
      if (out > 10) {
        EXPECT_TRUE(LitNear(image, 200 + t * out * ux, 150 + t * out * uy, yellow)) << t;
      }
      EXPECT_TRUE(LitNear(image, 200 - t * 150 * ux, 150 - t * 150 * uy, orange)) << t;
      const double in = t * (150 - out);
      if (in > 5) {
        EXPECT_TRUE(LitNear(image, tx + in * ux, ty + in * uy, orange)) << t;
      }
    }
    for (const auto& [dx, dy] : {std::pair{5, 0}, {-5, 0}, {0, 5}, {0, -5}}) {
      // Where the target's line crosses the ring, a path may cover it.
      if (std::abs(dx * ux + dy * uy) < 4.9) {
        EXPECT_TRUE(LitNear(image, tx + dx, ty + dy, yellow)) << dx << "," << dy;
      }
    }
    EXPECT_EQ(image.pixel(int(std::lround(tx + 2.5 * uy)), int(std::lround(ty - 2.5 * ux))),
              Argb(0, 0, 0))
        << "inside the ring";
  }
}

}  // namespace
}  // namespace globeview
