#include "view/locator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace globeview {
namespace {

TEST(LocatorTest, APlaceGivesTheSubsquareItLiesIn) {
  const struct {
    double lon, lat;
    const char* locator;
  } cases[] = {
      // Published squares: the usual worked example (Munich) and the Washington Monument.
      {11.60833, 48.14666, "JN58td"},
      {-77.035278, 38.889484, "FM18lv"},
      {-73.99, 40.75, "FN30as"},      // Manhattan
      {-74.0, 40.7, "FN30aq"},        // on the west edge of FN30, which the square holds
      {139.7 + 720, 35.7, "PM95uq"},  // two turns east of Tokyo
      {0, 0, "JJ00aa"},               // the first square north-east of the origin
      {-1e-9, -1e-9, "II99xx"},       // and the last one south-west of it
      {-180, 0, "AJ00aa"},            // the antimeridian from the west end
      {180, 0, "RJ90xa"},             // and from the east end: the last field
      {-180, -90, "AA00aa"},          // the south pole's first square
      {180, 90, "RR99xx"},            // the north pole in the last row
      {0, 90, "JR09ax"},
      {0, 95, "JR09ax"},  // beyond the pole: at the pole
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LocatorOf({c.lon, c.lat}), c.locator) << c.lon << "," << c.lat;
  }
  EXPECT_EQ(LocatorOf({std::numeric_limits<double>::quiet_NaN(), 0}), "");
}

TEST(LocatorTest, ALocatorGivesTheCentreOfItsSquare) {
  const struct {
    const char* locator;
    double lon, lat;
  } cases[] = {
      {"PM95", 139.0, 35.5},
      {"pm95VQ", 138 + 21.5 / 12, 35 + 16.5 / 24},
      {"JO62qm47", 12 + 16.0 / 12 + 4.5 / 120, 52 + 12.0 / 24 + 7.5 / 240},
      {"RR99xx", 180 - 0.5 / 12, 90 - 0.5 / 24},
      {"AA00aa00", -180 + 0.5 / 120, -90 + 0.5 / 240},
  };
  for (const auto& c : cases) {
    const std::optional<Place> place = PlaceOfLocator(c.locator);
    ASSERT_TRUE(place) << c.locator;
    EXPECT_NEAR(place->lon, c.lon, 1e-9) << c.locator;
    EXPECT_NEAR(place->lat, c.lat, 1e-9) << c.locator;
  }
  for (const char* text : {"", "PM9", "PM95v", "PM95vq4", "PM95vq4a7", "SM95", "PS95", "PMA5",
                           "PM95yq", "PM95vy", "PM95vqa4", " PM95", "PM95 ", "PM 95"}) {
    EXPECT_FALSE(PlaceOfLocator(text)) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace globeview
