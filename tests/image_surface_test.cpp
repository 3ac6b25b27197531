#include "platform/image_surface.h"

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <limits>
#include <set>
#include <stdexcept>
#include <utility>

#include "system/headless_desktop.h"
#include "test_support.h"
#include "view/drawing.h"
#include "view/projection.h"

namespace globeview {
namespace {

constexpr double kTwips = kTwipsPerPixelAt96Dpi;  // per pixel
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kGrey = qRgb(155, 155, 155);
const QRgb kBlue = qRgb(0, 0, 255);

float Tw(double pixels) {
  return static_cast<float>(pixels * kTwips);
}

// A red image (which Cls must cover) and a surface over it, cleared to black, drawing white.
struct Canvas {
  explicit Canvas(int w, int h) : image(w, h, QImage::Format_RGB32) {
    image.fill(Qt::red);
    surface = std::make_unique<ImageSurface>(image, kTwips);
    surface->BackColor({0, 0, 0});
    surface->ForeColor({255, 255, 255});
    surface->Cls();
  }
  // Ends the drawing: whatever is still buffered must reach the image.
  const QImage& Done() {
    surface.reset();
    return image;
  }
  std::set<std::pair<int, int>> PixelsOf(QRgb colour) {
    std::set<std::pair<int, int>> found;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, y) == colour) found.insert({x, y});
    return found;
  }
  QImage image;
  std::unique_ptr<ImageSurface> surface;
};

TEST(ImageSurfaceTest, TwipsGoToTheNearestPixelCentre) {
  const struct {
    float twips;
    int pixel;
  } cases[] = {{0, 0}, {7, 0}, {7.6f, 1}, {22, 1}, {23, 2}, {292, 19}, {293, 20}};
  for (const auto& c : cases) {
    Canvas canvas(24, 24);
    canvas.surface->Line(c.twips, Tw(2), c.twips, Tw(8));
    canvas.surface->Line(Tw(2), c.twips, Tw(8), c.twips);
    canvas.Done();
    for (const auto& [x, y] : canvas.PixelsOf(kWhite))
      EXPECT_TRUE(x == c.pixel || y == c.pixel) << c.twips << " twips lit " << x << "," << y;
    EXPECT_EQ(canvas.image.pixel(c.pixel, 5), kWhite) << c.twips;
    EXPECT_EQ(canvas.image.pixel(5, c.pixel), kWhite) << c.twips;
  }
}

TEST(ImageSurfaceTest, CrossAndRingsAreSymmetricAboutTheMiddlePixel) {
  Canvas canvas(64, 40);  // the middle is pixel (32, 20)
  PointTable table;
  for (int i = 0; i <= kPointCount; ++i) table.valid[i] = table.usable[i] = 0;
  HeadlessDesktop desktop(Tw(64), Tw(40));
  DrawPicture(table, 1, PrepareScreen(desktop, *canvas.surface), *canvas.surface, desktop);
  canvas.Done();
  const auto grey = canvas.PixelsOf(kGrey);
  for (const auto& [x, y] : grey) {
    EXPECT_TRUE(x == 0 || grey.count({64 - x, y})) << x << "," << y;
    EXPECT_TRUE(y == 0 || grey.count({x, 40 - y})) << x << "," << y;
  }
  const QImage& im = canvas.image;
  // One column wide; the bar H long (20 pixels each side); the outer ring reaches the top row.
  EXPECT_EQ((std::vector{im.pixel(31, 3), im.pixel(32, 3), im.pixel(33, 3)}),
            (std::vector{kBlack, kGrey, kBlack}));
  EXPECT_EQ((std::vector{im.pixel(11, 20), im.pixel(12, 20), im.pixel(52, 20), im.pixel(53, 20)}),
            (std::vector{kBlack, kGrey, kGrey, kBlack}));
  EXPECT_EQ(im.pixel(32, 0), kGrey);
}

TEST(ImageSurfaceTest, EachLineKeepsItsColourAndWidth) {
  Canvas canvas(40, 40);
  ImageSurface& s = *canvas.surface;
  s.Line(Tw(2), Tw(5), Tw(30), Tw(5));
  s.Circle(Tw(20), Tw(20), Tw(10), {155, 155, 155});  // leaves the foreground colour alone
  s.Line(Tw(2), Tw(8), Tw(30), Tw(8));
  s.ForeColor({0, 0, 255});
  s.Line(Tw(2), Tw(20), Tw(8), Tw(20));
  s.DrawWidth(3);
  s.Line(Tw(2), Tw(34), Tw(30), Tw(34));
  s.DrawWidth(1);
  s.Line(Tw(2), Tw(38), Tw(30), Tw(38));
  const QImage& im = canvas.Done();
  EXPECT_EQ(im.pixel(15, 5), kWhite);
  EXPECT_EQ(im.pixel(15, 8), kWhite);
  EXPECT_EQ(im.pixel(5, 20), kBlue);
  EXPECT_EQ(im.pixel(20, 10), kGrey);
  EXPECT_EQ(im.pixel(20, 20), kBlack);  // an outline, not a disc
  std::vector<QRgb> column;             // rows 32 to 38: the 3-pixel line, then the 1-pixel one
  for (int y = 32; y <= 38; ++y) column.push_back(im.pixel(15, y));
  EXPECT_EQ(column, (std::vector{kBlack, kBlue, kBlue, kBlue, kBlack, kBlack, kBlue}));
}

TEST(ImageSurfaceTest, ClsClearsLinesStillBuffered) {
  Canvas canvas(20, 20);
  canvas.surface->Line(Tw(2), Tw(5), Tw(15), Tw(5));
  canvas.surface->BackColor({1, 2, 3});
  canvas.surface->Cls();
  canvas.Done();
  EXPECT_EQ(canvas.PixelsOf(qRgb(1, 2, 3)).size(), 400u);
}

TEST(ImageSurfaceTest, OutOfRangeAndNonNumericPositionsAreHarmless) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const struct {
    float x1, y1, x2, y2;
    std::size_t lit;
  } cases[] = {
      {-1e6f, Tw(5), 1e6f, Tw(5), 20},  // clipped to the picture
      {1e30f, 1e30f, -1e30f, 2e30f, 0},
      {nan, 0, Tw(5), Tw(5), 0},
      {0, 0, inf, Tw(5), 0},
  };
  for (const auto& c : cases) {
    Canvas canvas(20, 20);
    canvas.surface->Line(c.x1, c.y1, c.x2, c.y2);
    canvas.surface->Circle(c.x1, c.y1, c.y2, {155, 155, 155});
    canvas.Done();
    EXPECT_EQ(canvas.PixelsOf(kWhite).size(), c.lit) << c.x1;
  }
  QImage none;
  ImageSurface(none, kTwips).Line(0, 0, 100, 100);
  EXPECT_THROW(ImageSurface(none, 0), std::invalid_argument);
  EXPECT_THROW(ImageSurface(none, std::numeric_limits<double>::quiet_NaN()), std::invalid_argument);
}

TEST(ImageSurfaceTest, ShippedCoastlineDrawsTheWholePicture) {
  if (!std::filesystem::exists(test::ShippedCoastlinePath())) GTEST_SKIP() << "no data.dat";
  PointTable& table = test::ShippedTable();
  Project(table, 139.7, 35.7);
  QImage image(1920, 1080, QImage::Format_ARGB32_Premultiplied);
  {
    ImageSurface surface(image, kTwips);
    HeadlessDesktop desktop(1920 * kTwips, 1080 * kTwips);
    DrawPicture(table, 1, PrepareScreen(desktop, surface), surface, desktop);
  }
  EXPECT_EQ(image.pixel(960, 540), kGrey);
  EXPECT_EQ(image.pixel(960, 0), kGrey);  // the outer ring touches the top...
  bool bottom = false;                    // ...and the bottom
  for (int x = 900; x < 1020; ++x) bottom = bottom || image.pixel(x, 1079) == kGrey;
  EXPECT_TRUE(bottom);
  int white = 0;
  for (int y = 0; y < 1080; ++y) {
    for (int x = 0; x < 1920; ++x) {
      if (image.pixel(x, y) != kWhite) continue;
      ++white;
      const double dx = x - 960, dy = y - 540;
      ASSERT_LE(dx * dx + dy * dy, 542.0 * 542.0)
          << "coastline beyond the antipode " << x << "," << y;
    }
  }
  EXPECT_GT(white, 10000);
  test::ScratchDir scratch;
  EXPECT_TRUE(image.save(QString::fromStdString(scratch.Path("picture.png"))));
}

}  // namespace
}  // namespace globeview
