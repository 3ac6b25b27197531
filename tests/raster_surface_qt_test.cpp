#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPen>
#include <array>
#include <cmath>
#include <filesystem>
#include <set>
#include <utility>

#include "core_doubles.h"
#include "output/raster_surface.h"
#include "platform/qt_painter_surface.h"
#include "system/text_font.h"
#include "test_support.h"
#include "view/drawing.h"
#include "view/projection.h"

// The pixel rasteriser in the window's picture (a QImage of Format_RGB32), against the lines Qt's
// own painter draws there.
namespace globeview {
namespace {

constexpr double kTwips = kTwipsPerPixelAt96Dpi;  // per pixel
const QRgb kWhite = qRgb(255, 255, 255);

using Pixels = std::set<std::pair<long, long>>;

// The pixels whose centre lies exactly half a pixel across from the line between two pixel
// centres: both neighbours are nearest, and either rasteriser may light either.
void AddTies(long x1, long y1, long x2, long y2, Pixels& ties) {
  const bool xMajor = std::abs(x2 - x1) >= std::abs(y2 - y1);
  const long da = xMajor ? x2 - x1 : y2 - y1, db = xMajor ? y2 - y1 : x2 - x1;
  for (long i = 0; i != da; i += da > 0 ? 1 : -1) {
    const long twice = 2 * i * db;  // twice the minor offset, times da
    if (twice % da != 0 || (twice / da) % 2 == 0) continue;
    const long lower = (twice / da - 1) / 2;
    for (const long b : {lower, lower + 1}) {
      ties.insert(xMajor ? std::pair{x1 + i, y1 + b} : std::pair{x1 + b, y1 + i});
    }
  }
}

// QPainter's aliased lines, given the same end pixels, light the same pixels apart from the ends
// (it takes the pixels from the left or top end on, whichever end comes first) and ties. Its line
// sits on the pixel centres across its direction; along it, Qt samples a line whose other
// coordinate grows half a pixel later than one whose shrinks, so the growing ones are drawn
// mirrored left to right.
TEST(RasterSurfaceQtTest, MatchesQPaintersAliasedLinesExceptAtEndsAndTies) {
  if (!std::filesystem::exists(test::ShippedCoastlinePath())) GTEST_SKIP() << "no data.dat";
  PointTable& table = test::ShippedTable();
  const struct {
    double a1, b1, c1;
    int w, h;
  } views[] = {{139.7, 35.7, 1, 1920, 1080},
               {0, 0, 1, 1600, 1600},
               {-30, -50, 3, 800, 600},
               {10, 50, 7, 1920, 1080}};
  for (const auto& v : views) {
    SCOPED_TRACE(testing::Message() << v.a1 << ", " << v.b1 << " at " << v.c1);
    test::RecordingSurface recorded;
    test::FakeDesktop desktop(v.w * kTwips, v.h * kTwips);
    DrawGlobe(table, {{v.a1, v.b1}, v.c1, PrepareScreen(desktop, recorded)}, recorded);

    QImage ours(v.w, v.h, QImage::Format_RGB32);
    ours.fill(Qt::black);
    RasterSurface surface(Rgb32Pixels{ours.bits(), ours.bytesPerLine(), v.w, v.h}, kTwips);
    surface.ForeColor({255, 255, 255});
    QImage plain(v.w, v.h, QImage::Format_RGB32), mirrored(v.w, v.h, QImage::Format_RGB32);
    plain.fill(Qt::black);
    mirrored.fill(Qt::black);
    QPainter plainPainter(&plain), mirroredPainter(&mirrored);
    for (QPainter* painter : {&plainPainter, &mirroredPainter}) {
      painter->setRenderHint(QPainter::Antialiasing, false);
      painter->setPen(QPen(Qt::white, 1, Qt::SolidLine, Qt::FlatCap));
    }
    Pixels allowed;
    const auto pixel = [](float twips) { return std::lround(std::floor(twips / kTwips + 0.5)); };
    const auto lines = recorded.OpsOfKind(test::SurfaceOp::Line);
    for (const auto& line : lines) {
      surface.Line(line.a, line.b, line.c, line.d);
      const long x1 = pixel(line.a), y1 = pixel(line.b), x2 = pixel(line.c), y2 = pixel(line.d);
      allowed.insert({{x1, y1}, {x2, y2}});
      AddTies(x1, y1, x2, y2, allowed);
      const bool mirror = (x2 - x1) * (y2 - y1) > 0;
      const auto x = [&](long px) { return double(mirror ? v.w - 1 - px : px); };
      const bool xMajor = std::abs(x2 - x1) >= std::abs(y2 - y1);
      const double across = 0.5;  // the pixel centre across the line's direction
      QPainter& painter = mirror ? mirroredPainter : plainPainter;
      if (x1 == x2 && y1 == y2) {
        painter.drawPoint(QPointF(x(x1), y1));
      } else {
        painter.drawLine(QLineF(x(x1) + (xMajor ? 0 : across), y1 + (xMajor ? across : 0),
                                x(x2) + (xMajor ? 0 : across), y2 + (xMajor ? across : 0)));
      }
    }
    plainPainter.end();
    mirroredPainter.end();
    const QImage unmirrored = mirrored.mirrored(true, false);
    int lit = 0, differing = 0;
    for (int y = 0; y < v.h; ++y) {
      for (int x = 0; x < v.w; ++x) {
        const bool mine = ours.pixel(x, y) == kWhite;
        const bool qts = plain.pixel(x, y) == kWhite || unmirrored.pixel(x, y) == kWhite;
        lit += mine;
        if (mine == qts) continue;
        ++differing;
        ASSERT_TRUE(allowed.count({x, y})) << x << "," << y << (mine ? " only ours" : " only Qt's");
      }
    }
    EXPECT_GT(lit, 5000);
    EXPECT_LT(differing, lit / 2);
  }
}

// The box of the pixels a text lit: left, top, right, bottom; all -1 when none.
std::array<int, 4> InkedBox(const QImage& image) {
  std::array<int, 4> box{-1, -1, -1, -1};
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qGray(image.pixel(x, y)) < 128) continue;
      if (box[0] < 0) box = {x, y, x, y};
      box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
    }
  }
  return box;
}

// The same words drawn by the rasteriser's FreeType glyphs and by Qt's painter land on the same
// pixels, to a pixel or two of hinting, wherever the anchor puts them.
TEST(RasterSurfaceQtTest, TextsInkTheSameBoxAsQtsPainter) {
  const struct {
    const char* text;
    double size;
    TextAnchor anchor;
  } cases[] = {{"Tokyo 35.7N", 12, TextAnchor::kTopLeft},
               {"東京 ニューヨーク", 16, TextAnchor::kCentre},
               {"10,008 km", 20, TextAnchor::kBottomRight},
               {"ロンドン London", 13, TextAnchor::kLeft}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const TextStyle style{c.size, {255, 255, 255}, c.anchor};
    QImage ours(300, 80, QImage::Format_RGB32), qts(300, 80, QImage::Format_RGB32);
    ours.fill(Qt::black);
    qts.fill(Qt::black);
    RasterSurface raster(Rgb32Pixels{ours.bits(), ours.bytesPerLine(), 300, 80}, kTwips);
    raster.Text(150 * kTwips, 40 * kTwips, c.text, style);
    QPainter painter(&qts);
    QtPainterSurface qt(painter, kTwips);
    qt.Text(150 * kTwips, 40 * kTwips, c.text, style);
    painter.end();
    const std::array<int, 4> mine = InkedBox(ours), theirs = InkedBox(qts);
    ASSERT_GE(mine[0], 0);
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(mine[k], theirs[k], 2) << k;
  }
  EXPECT_THROW(
      {
        try {
          TextFont font("No Such Family 42");
        } catch (const FontError& error) {
          EXPECT_NE(std::string(error.what()).find("\"No Such Family 42\""), std::string::npos);
          throw;
        }
      },
      FontError);
}

}  // namespace
}  // namespace globeview
