#include "output/raster_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <set>
#include <stdexcept>
#include <utility>
#include <vector>

#include "core_doubles.h"
#include "test_support.h"
#include "view/drawing.h"

namespace globeview {
namespace {

constexpr double kTwips = kTwipsPerPixelAt96Dpi;  // per pixel

// A pixel as the window's picture holds it: 0xffRRGGBB.
using Colour = std::uint32_t;
constexpr Colour Argb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return 0xff000000u | r << 16 | g << 8 | b;
}
constexpr Colour kBlack = Argb(0, 0, 0);
constexpr Colour kWhite = Argb(255, 255, 255);
constexpr Colour kGrey = Argb(155, 155, 155);
constexpr Colour kBlue = Argb(0, 0, 255);
constexpr Colour kRed = Argb(255, 0, 0);

using Pixels = std::set<std::pair<long, long>>;

float Tw(double pixels) {
  return static_cast<float>(pixels * kTwips);
}

// Rows of pixels with no gap between them, filled with one colour.
struct Image {
  Image(int w, int h, Colour colour = kBlack)
      : width(w), height(h), pixels(std::size_t(w) * h, colour) {}
  Colour pixel(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
  int width;
  int height;
  std::vector<Colour> pixels;
};

Rgb32Pixels RowsOf(Image& image) {
  return {reinterpret_cast<std::uint8_t*>(image.pixels.data()),
          std::ptrdiff_t(sizeof(Colour)) * image.width, image.width, image.height};
}

std::size_t CountOf(const Image& image, Colour colour) {
  return std::size_t(std::count(image.pixels.begin(), image.pixels.end(), colour));
}

Pixels PixelsOf(const Image& image, Colour colour) {
  Pixels found;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if (image.pixel(x, y) == colour) found.insert({x, y});
  return found;
}

// A red image (which Cls must cover) and a surface over it, cleared to black, drawing white.
struct Canvas {
  Canvas(int w, int h, double twipsPerPixel = kTwips) : image(w, h, kRed) {
    surface.Attach(RowsOf(image), twipsPerPixel);
    surface.BackColor({0, 0, 0});
    surface.ForeColor({255, 255, 255});
    surface.Cls();
  }
  Image image;
  RasterSurface surface;
};

PointTable AllNotAvailable() {
  PointTable table;
  for (int i = 0; i <= kPointCount; ++i) table.SetSource(i, "NA", "NA");
  return table;
}

TEST(RasterSurfaceTest, TwipsGoToTheNearestPixelCentre) {
  const struct {
    float twips;
    int pixel;
  } cases[] = {{0, 0}, {7, 0}, {7.6f, 1}, {22, 1}, {23, 2}, {292, 19}, {293, 20}};
  for (const auto& c : cases) {
    Canvas canvas(24, 24);
    canvas.surface.Line(c.twips, Tw(2), c.twips, Tw(8));
    canvas.surface.Line(Tw(2), c.twips, Tw(8), c.twips);
    for (const auto& [x, y] : PixelsOf(canvas.image, kWhite))
      EXPECT_TRUE(x == c.pixel || y == c.pixel) << c.twips << " twips lit " << x << "," << y;
    EXPECT_EQ(canvas.image.pixel(c.pixel, 5), kWhite) << c.twips;
    EXPECT_EQ(canvas.image.pixel(5, c.pixel), kWhite) << c.twips;
  }
}

// At magnification 10 no ring reaches the picture, so the grey pixels are the cross alone: the
// vertical bar every row of the middle column, the horizontal bar exactly H pixels centred.
TEST(RasterSurfaceTest, TheCrossIsExactOnEveryScreenShape) {
  const struct {
    int w, h;
    double twipsPerPixel;
  } cases[] = {
      {1920, 1080, kTwips},
      {1080, 1920, kTwips},      // taller than wide: the bar spans the whole row
      {3840, 2160, kTwips / 2},  // a 1920 x 1080 screen at 192 DPI
      {1366, 768, kTwips},
  };
  PointTable table = AllNotAvailable();
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " at " << c.twipsPerPixel);
    Canvas canvas(c.w, c.h, c.twipsPerPixel);
    test::FakeDesktop desktop(c.w * c.twipsPerPixel, c.h * c.twipsPerPixel);
    DrawGlobe(table, {{}, 10, PrepareScreen(desktop, canvas.surface), c.twipsPerPixel},
              canvas.surface);
    Pixels cross;
    for (int y = 0; y < c.h; ++y) cross.insert({c.w / 2, y});
    for (int x = std::max(0, (c.w - c.h) / 2); x < std::min(c.w, (c.w + c.h) / 2); ++x)
      cross.insert({x, c.h / 2});
    EXPECT_EQ(PixelsOf(canvas.image, kGrey), cross);
    EXPECT_EQ(CountOf(canvas.image, kBlack) + cross.size(), std::size_t(c.w) * c.h);
  }
}

TEST(RasterSurfaceTest, CrossAndRingsAreSymmetricAboutTheMiddlePixel) {
  Canvas canvas(64, 40);  // the middle is pixel (32, 20)
  PointTable table = AllNotAvailable();
  test::FakeDesktop desktop(Tw(64), Tw(40));
  DrawGlobe(table, {{}, 1, PrepareScreen(desktop, canvas.surface)}, canvas.surface);
  const auto grey = PixelsOf(canvas.image, kGrey);
  for (const auto& [x, y] : grey) {
    EXPECT_TRUE(x == 0 || grey.count({64 - x, y})) << x << "," << y;
    EXPECT_TRUE(y == 0 || grey.count({x, 40 - y})) << x << "," << y;
  }
  const Image& im = canvas.image;
  // One column wide; the outer ring ends the bar's row on both sides and reaches the top row.
  EXPECT_EQ((std::vector{im.pixel(31, 3), im.pixel(32, 3), im.pixel(33, 3)}),
            (std::vector{kBlack, kGrey, kBlack}));
  EXPECT_EQ((std::vector{im.pixel(11, 20), im.pixel(12, 20), im.pixel(52, 20), im.pixel(53, 20)}),
            (std::vector{kBlack, kGrey, kGrey, kBlack}));
  EXPECT_EQ(im.pixel(32, 0), kGrey);
}

// Each pixel of a ring lies within half a pixel of the true circle and has two neighbours on it,
// so the ring is closed, also where the octants meet, and also where the picture cuts it.
TEST(RasterSurfaceTest, RingsAreClosedAndHugTheCircle) {
  const struct {
    double x, y, radius;
  } rings[] = {{100, 100, 1.5}, {100, 100, 7},       {100, 100, 10.3},
               {100, 100, 99},  {100.4, 99.6, 33.3}, {-40, 150, 120}};
  for (const auto& ring : rings) {
    SCOPED_TRACE(testing::Message() << ring.x << "," << ring.y << " radius " << ring.radius);
    Canvas canvas(201, 201, 1);
    canvas.surface.Circle(float(ring.x), float(ring.y), float(ring.radius), {155, 155, 155});
    const Pixels lit = PixelsOf(canvas.image, kGrey);
    ASSERT_FALSE(lit.empty());
    const double cx = std::round(ring.x), cy = std::round(ring.y);
    for (const auto& [x, y] : lit) {
      EXPECT_LE(std::abs(std::hypot(x - cx, y - cy) - ring.radius), 0.5) << x << "," << y;
      if (x == 0 || y == 0 || x == 200 || y == 200) continue;  // its neighbour may lie beyond
      int neighbours = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) neighbours += (dx || dy) && lit.count({x + dx, y + dy});
      EXPECT_GE(neighbours, 2) << x << "," << y;
    }
  }
}

TEST(RasterSurfaceTest, EachLineKeepsItsColourAndWidth) {
  Canvas canvas(40, 40);
  RasterSurface& s = canvas.surface;
  s.Line(Tw(2), Tw(5), Tw(30), Tw(5));
  s.Circle(Tw(20), Tw(20), Tw(10), {155, 155, 155});  // leaves the foreground colour alone
  s.Line(Tw(2), Tw(8), Tw(30), Tw(8));
  s.ForeColor({0, 0, 255});
  s.Line(Tw(2), Tw(20), Tw(8), Tw(20));
  s.DrawWidth(3);
  s.Line(Tw(2), Tw(34), Tw(30), Tw(34));
  s.DrawWidth(1);
  s.Line(Tw(2), Tw(38), Tw(30), Tw(38));
  const Image& im = canvas.image;
  EXPECT_EQ(im.pixel(15, 5), kWhite);
  EXPECT_EQ(im.pixel(15, 8), kWhite);
  EXPECT_EQ(im.pixel(5, 20), kBlue);
  EXPECT_EQ(im.pixel(20, 10), kGrey);
  EXPECT_EQ(im.pixel(20, 20), kBlack);  // an outline, not a disc
  std::vector<Colour> column;           // rows 32 to 38: the 3-pixel line, then the 1-pixel one
  for (int y = 32; y <= 38; ++y) column.push_back(im.pixel(15, y));
  EXPECT_EQ(column, (std::vector{kBlack, kBlue, kBlue, kBlue, kBlack, kBlack, kBlue}));
  EXPECT_EQ(CountOf(im, kRed), 0u) << "Cls covers the whole picture";
}

TEST(RasterSurfaceTest, OutOfRangeAndNonNumericPositionsAreHarmless) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const float most = std::numeric_limits<float>::max();
  const struct {
    float x1, y1, x2, y2;
    int width;
    std::size_t lit;
  } cases[] = {
      {-1e6f, Tw(5), 1e6f, Tw(5), 1, 20},  // clipped to the picture
      {1e30f, 1e30f, -1e30f, 2e30f, 1, 0},
      {-most, -most, most, most, 1, 20},  // the diagonal
      {nan, 0, Tw(5), Tw(5), 1, 0},
      {0, 0, inf, Tw(5), 1, 0},
      {-most, Tw(5), most, Tw(5), INT_MAX, 400},  // wider than any picture
      {-4.5e18f, 0, 4.5e18f, Tw(1), 1, 20},       // ends 3e17 pixels off, one row apart
      {Tw(3), Tw(3), Tw(3), Tw(3), 3, 9},         // one pixel, widened to a square
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x1 << " " << c.y1 << " " << c.x2 << " " << c.y2);
    Canvas canvas(20, 20);
    canvas.surface.DrawWidth(c.width);
    canvas.surface.Line(c.x1, c.y1, c.x2, c.y2);
    EXPECT_EQ(CountOf(canvas.image, kWhite), c.lit);
    canvas.surface.Circle(c.x1, c.y1, c.y2, {155, 155, 155});
  }
  RasterSurface none;
  none.Line(0, 0, 100, 100);
  none.Cls();
  Image image(4, 4);
  EXPECT_THROW(RasterSurface(RowsOf(image), 0), std::invalid_argument);
  EXPECT_THROW(RasterSurface(RowsOf(image), std::numeric_limits<double>::quiet_NaN()),
               std::invalid_argument);
}

// A line through the top left pixel in direction d, from -k d to k d, lights on the picture what a
// short line from that pixel does: clipping, however far away the ends, never moves a pixel.
TEST(RasterSurfaceTest, FarEndsLightTheSamePixelsAsNearOnes) {
  // (2, 1) and (1, 2) pass midway between pixels at every other step.
  const std::pair<int, int> directions[] = {{3, 1}, {1, 3}, {5, 2}, {2, 5}, {2, 1},
                                            {1, 2}, {1, 1}, {1, 0}, {0, 1}};
  const double farther[] = {0x1p4, 0x1p20, 0x1p40, 0x1p57};
  constexpr int kShort = 8;  // the short line ends at kShort d, inside the 64 x 48 picture
  for (const auto& [dx, dy] : directions) {
    for (const bool backwards : {false, true}) {
      const auto draw = [&, dx = dx, dy = dy](double from, double to) {
        Canvas canvas(64, 48, 1);
        if (backwards) std::swap(from, to);
        canvas.surface.Line(float(from * dx), float(from * dy), float(to * dx), float(to * dy));
        // The short line's own ends are where the two may differ.
        Pixels lit;
        for (const auto& p : PixelsOf(canvas.image, kWhite))
          if (p.first <= kShort * dx && p.second <= kShort * dy &&
              p != std::pair<long, long>(0, 0) &&
              p != std::pair<long, long>(kShort * dx, kShort * dy))
            lit.insert(p);
        return lit;
      };
      const Pixels near = draw(0, kShort);
      EXPECT_EQ(near.size(), std::size_t(kShort * std::max(dx, dy) - 1));
      for (const double k : farther) {
        EXPECT_EQ(draw(-k, k), near) << dx << "," << dy << " backwards " << backwards << " " << k;
      }
    }
  }
}

TEST(RasterSurfaceTest, ShippedCoastlineDrawsTheWholePicture) {
  if (!std::filesystem::exists(test::ShippedCoastlinePath())) GTEST_SKIP() << "no data.dat";
  PointTable& table = test::ShippedTable();
  Canvas canvas(1920, 1080);
  test::FakeDesktop desktop(1920 * kTwips, 1080 * kTwips);
  DrawGlobe(table, {{139.7, 35.7}, 1, PrepareScreen(desktop, canvas.surface)}, canvas.surface);
  const Image& image = canvas.image;
  EXPECT_EQ(image.pixel(960, 540), kGrey);
  EXPECT_EQ(image.pixel(960, 0), kGrey);  // the outer ring touches the top...
  bool bottom = false;                    // ...and the bottom
  for (int x = 900; x < 1020; ++x) bottom = bottom || image.pixel(x, 1079) == kGrey;
  EXPECT_TRUE(bottom);
  const auto white = PixelsOf(image, kWhite);
  for (const auto& [x, y] : white) {
    const double dx = x - 960, dy = y - 540;
    ASSERT_LE(dx * dx + dy * dy, 542.0 * 542.0)
        << "coastline beyond the antipode " << x << "," << y;
  }
  EXPECT_GT(white.size(), 10000u);
}

}  // namespace
}  // namespace globeview
