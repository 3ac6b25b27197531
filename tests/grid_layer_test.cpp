#include "view/grid_layer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace globeview {
namespace {

// Over centres all round the earth, poles included, and every kind of grid: each piece of a line
// is short and clear of the antipode's ring, so nothing jumps across the disc.
TEST(GridLayerTest, NoPieceJumpsAcrossTheDisc) {
  // The squares' many lines at fewer centres.
  for (const double magnification : {1.0, 4.0}) {
    const double step = magnification > 1 ? 2 : 1;
    for (double lat = -90; lat <= 90; lat += 22.5 * step) {
      for (double lon = -180; lon < 180; lon += 37 * step) {
        SCOPED_TRACE(testing::Message() << lon << ", " << lat << " x" << magnification);
        const Projector projector(PictureView::OfPixels({lon, lat}, magnification, 800, 600));
        const ScreenPosition middle = projector.Middle();
        const double longest = projector.RingRadius(180) / 4;
        const double ring = projector.RingRadius(180 - kAntipodeMarginDegrees);
        const GridPieces pieces = GridLines(projector);
        std::vector<ScreenSegment> lines = pieces.fields;
        lines.insert(lines.end(), pieces.squares.begin(), pieces.squares.end());
        ASSERT_GT(lines.size(), magnification > 1 ? 1000U : 4000U);
        int bad = 0;
        for (const ScreenSegment& piece : lines) {
          const double length = std::hypot(piece.to.x - piece.from.x, piece.to.y - piece.from.y);
          const double from = std::hypot(piece.from.x - middle.x, piece.from.y - middle.y);
          const double to = std::hypot(piece.to.x - middle.x, piece.to.y - middle.y);
          if (length > longest || from > ring || to > ring) ++bad;
        }
        EXPECT_EQ(bad, 0);
      }
    }
  }
}

TEST(GridLayerTest, FieldsAreNamedLongitudeFirst) {
  const std::vector<GridField>& fields = GridFields();
  ASSERT_EQ(fields.size(), 324U);
  // Tokyo's field, PM: 120..140 E, 30..40 N (the 16th column, the 13th row).
  const GridField& pm = fields[12 * 18 + 15];
  EXPECT_EQ(pm.letters, "PM");
  EXPECT_EQ(pm.middle.lon, 130);
  EXPECT_EQ(pm.middle.lat, 35);
}

}  // namespace
}  // namespace globeview
