#include "view/map_labels.h"

#include <gtest/gtest.h>

#include <vector>

#include "view/geodesy.h"

namespace globeview {
namespace {

// A disc of radius 80 about (100, 100) on a screen of 300 x 170 pixels; the boxes are offered
// in the table's order and each row says whether its box is taken.
TEST(LabelPlacerTest, TakesBoxesOnTheDiscAndScreenThatOverlapNone) {
  struct Row {
    const char* what;
    PixelBox box;
    bool taken;
  };
  const Row rows[] = {
      {"near the middle", {90, 90, 130, 104}, true},
      {"over the first", {120, 100, 150, 112}, false},
      {"touching the first's edge", {130, 90, 150, 104}, true},
      {"across the disc's edge", {150, 40, 190, 54}, false},
      {"at the antipode, on the ring", {170, 95, 185, 105}, false},
      {"inside the ring but a corner out", {30, 30, 60, 44}, false},
      {"wholly inside, below", {60, 140, 100, 154}, true},
      {"on the disc, off the screen's bottom", {90, 165, 110, 175}, false},
  };
  LabelPlacer placer(100, 100, 80, 300, 170);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(placer.Take(row.box), row.taken);
  }
}

// The whole map's texts over Tokyo: none overlaps another, and a city at the centre's antipode,
// where every direction leads, is never written.
TEST(MapLabelsTest, PlacedTextsNeverOverlapAndTheAntipodeHasNone) {
  const PictureView view = PictureView::OfPixels({139.7, 35.7}, 1, 1280, 720);
  const std::vector<CountryLabel> countries = {{"日本", 138, 37, 377000, 392},
                                               {"日本の隣", 139, 37, 1000, 1},
                                               {"アメリカ合衆国", -98, 39, 9.5e6, 840}};
  const std::vector<City> cities = {{"Antipode", 139.7 - 180, -35.7, 1e6, true},
                                    {"Tokyo", 139.69, 35.69, 1.4e7, true}};
  const MapLabels labels({true, &countries, &cities, true});
  const Projector projector(view);
  const LabelPlan& plan = labels.Plan(projector);
  ASSERT_EQ(plan.rings.size(), 4U);
  EXPECT_EQ(plan.rings[0].text, "5,004 km");
  EXPECT_EQ(plan.rings[3].text, "20,015 km");
  ASSERT_EQ(plan.names.size(), 2U) << "the neighbour's name would lie over Japan's";
  EXPECT_EQ(plan.names[0].text, "日本");
  EXPECT_EQ(plan.names[1].text, "アメリカ合衆国");
  ASSERT_EQ(plan.cities.size(), 0U) << "Tokyo lies under 日本, the antipode on the ring";
  EXPECT_GT(plan.fields.size(), 100U);
}

}  // namespace
}  // namespace globeview
