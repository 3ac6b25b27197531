#include "view/geodesy.h"
#include "view/readout.h"

#include <geodesic.h>
#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <string>
#include <vector>

#include "view/projection.h"

namespace globeview {
namespace {

// A 1920x1080-pixel screen at 15 twips per pixel.
PictureView View(double a1, double b1, double c1) {
  return PictureView::OfPixels({a1, b1}, c1, 1920, 1080, 15);
}

double LonDifference(double a, double b) {
  return std::remainder(a - b, 360.0);
}

// The place PROJ's inverse aeqd on a unit sphere gives for a pixel: the program draws the angular
// distance d at H d c1 / (2 pi) with its own pi, y downwards.
Place ProjInverse(const PictureView& view, double px, double py) {
  PJ_CONTEXT* ctx = proj_context_create();
  PJ* pj = proj_create(ctx, ("+proj=aeqd +R=1 +lat_0=" + std::to_string(view.centre.lat) +
                             " +lon_0=" + std::to_string(view.centre.lon))
                                .c_str());
  if (pj == nullptr) {
    ADD_FAILURE() << "PROJ has no aeqd";
    proj_context_destroy(ctx);
    return {};
  }
  const double scale = 1080 * view.magnification / (2 * kPi);
  const PJ_COORD out =
      proj_trans(pj, PJ_INV, proj_coord((px - 960) / scale, (540 - py) / scale, 0, 0));
  const double toDegrees = proj_degree_output(pj, PJ_INV) ? 1.0 : 180 / M_PI;
  proj_destroy(pj);
  proj_context_destroy(ctx);
  return {out.lp.lam * toDegrees, out.lp.phi * toDegrees};
}

TEST(PlaceAtTest, AgreesWithProjsInverseOnTheDiscAndGivesNothingBeyondIt) {
  enum Expect { kProj, kAntipode, kNone };
  const struct {
    double a1, b1, c1, px, py;
    Expect expect;
  } cases[] = {
      {139.7, 35.7, 1, 1200, 300, kProj},    {139.7, 35.7, 1, 960, 540, kProj},
      {0, 0, 1, 1300, 540, kProj},           {300, -33.9, 2.5, 100, 50, kProj},
      {139.7, 90, 1, 700, 700, kProj},       {200, -90, 1, 1000, 200, kProj},
      {360, 51.5, 1, 960, 1075, kProj},      {139.7, 35.7, 1, 960, 0, kAntipode},
      {139.7, 35.7, 1, 960, 1080.01, kNone}, {139.7, 35.7, 1, 0, 0, kNone},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.a1) + "," + std::to_string(c.b1) + " at " + std::to_string(c.px) +
                 "," + std::to_string(c.py));
    const PictureView view = View(c.a1, c.b1, c.c1);
    const auto place = PlaceAt(view, {c.px * 15, c.py * 15});
    ASSERT_EQ(place.has_value(), c.expect != kNone);
    if (!place) continue;
    // The ring itself stands for the antipode.
    const Place expected = c.expect == kProj ? ProjInverse(view, c.px, c.py) : Place{-40.3, -35.7};
    EXPECT_NEAR(LonDifference(place->lon, expected.lon), 0, 1e-6);
    EXPECT_NEAR(place->lat, expected.lat, 1e-6);
    EXPECT_LE(std::fabs(place->lon), 180);
  }
}

// A place's pixel, as the table's projection puts it, leads back to the place. The inverse retraces
// the projection's own arithmetic, where its pi is short of the true one, so it holds far inside
// the 1e-6 degrees a user could notice: a step taken with the true pi instead is off by 4e-7.
TEST(ScreenPositionTest, MatchesTheTableAndLeadsBackToThePlace) {
  const std::vector<Place> places = {{-74, 40.7},    {151.2, -33.87}, {0, 0},
                                     {179.99, -10},  {-0.0001, 89.5}, {139.7, 35.7},
                                     {-40.8, -35.7}, {200, 12.5}};
  PointTable table;
  for (int i = 1; i <= kPointCount; ++i) table.SetSource(i, "NA", "NA");
  for (std::size_t k = 0; k < places.size(); ++k) {
    table.SetSource(static_cast<int>(k) + 1, places[k].lon, places[k].lat);
  }
  for (const PictureView& view : {View(139.7, 35.7, 1), View(300, -33.9, 2.5), View(0, 90, 1),
                                  View(360, 0, 10), View(180, -89.99, 3)}) {
    Project(table, view.centre);
    ComputeScreenPositions(table, view);
    for (std::size_t k = 0; k < places.size(); ++k) {
      SCOPED_TRACE(std::to_string(view.centre.lon) + "," + std::to_string(view.centre.lat) + " #" +
                   std::to_string(k));
      const ScreenPosition at = ScreenPositionOf(view, places[k]);
      // The table may be projected with other arithmetic that agrees to 1e-6 twips.
      EXPECT_NEAR(at.x, table.Sx()[k + 1], 1e-5);
      EXPECT_NEAR(at.y, table.Sy()[k + 1], 1e-5);
      const auto back = PlaceAt(view, at);
      ASSERT_TRUE(back.has_value());
      EXPECT_NEAR(LonDifference(back->lon, places[k].lon), 0, 1e-9);
      EXPECT_NEAR(back->lat, places[k].lat, 1e-9);
    }
  }
}

TEST(HeadingTest, AgreesWithTheGeodesicOnTheSphereAndPointsNorthWhereThereIsNoDirection) {
  geod_geodesic sphere;
  geod_init(&sphere, kEarthRadiusKm, 0);
  const double far = M_PI * kEarthRadiusKm;
  const double geodesic = -1;  // the bearing and distance PROJ gives
  const struct {
    double a1, b1, lon, lat, bearing, km;
  } cases[] = {
      {139.7, 35.7, -74, 40.7, geodesic, 0},
      {139.7, 35.7, 151.2, -33.87, geodesic, 0},
      {0, 0, 90, 0, geodesic, 0},
      {300, -33.9, -58.4, -34.6, geodesic, 0},
      {180, -89.99, 0, 89, geodesic, 0},
      {139.7, 35.7, 139.7, 35.71, geodesic, 0},
      {139.7, 35.7, 139.7, 35.7, 0, 0},
      {300, -33.9, -60, -33.9, 0, 0},
      {139.7, 35.7, -40.3, -35.7, 0, far},
      {12, 90, 100, -90, 0, far},
      // A latitude typed past a pole while a drawing handled its events is drawn over the pole:
      // from 180,80 and 180,-80, as geod gives them.
      {0, 100, -74, 40.7, 66.3577, 5860.646},
      {0, -100, -74, 40.7, 97.2383, 14758.334},
      // A longitude many turns out is measured where it is drawn: 1e17 is exactly -80, so both
      // rows are geod's for 10N 80W.
      {139.7, 35.7, 1e17, 10, 47.1680, 13446.825},
      {139.7, 35.7, 280, 10, 47.1680, 13446.825},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.a1) + "," + std::to_string(c.b1) + " to " +
                 std::to_string(c.lon) + "," + std::to_string(c.lat));
    double km = c.km, bearing = c.bearing, unused = 0;
    if (c.bearing == geodesic)
      geod_inverse(&sphere, c.b1, c.a1, c.lat, c.lon, &km, &bearing, &unused);
    const Heading heading = HeadingFromCentre(View(c.a1, c.b1, 1), {c.lon, c.lat});
    EXPECT_GE(heading.bearing, 0);
    EXPECT_LT(heading.bearing, 360);
    EXPECT_NEAR(LonDifference(heading.bearing, bearing), 0, c.bearing == geodesic ? 1e-8 : 1e-4);
    EXPECT_NEAR(heading.distanceKm, km, c.bearing == geodesic ? 1e-6 : 0.1);
  }
}

TEST(ReadoutTest, FormatsTheWindowsLineAndTheCsvRows) {
  const struct {
    Place place;
    Heading heading;
    const char* text;
  } cases[] = {
      {{-74, 40.7}, {25.12, 10849.4}, "経度 -74.00  緯度 40.70  方位 25.1°  距離 10,849 km"},
      {{-0.001, -0.004}, {359.97, 0.4}, "経度 0.00  緯度 0.00  方位 0.0°  距離 0 km"},
      {{200, 89.999}, {180.05, 20015.09}, "経度 -160.00  緯度 90.00  方位 180.1°  距離 20,015 km"},
      {{12.345, -5}, {7, 999.5}, "経度 12.35  緯度 -5.00  方位 7.0°  距離 1,000 km"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadoutText(c.place, c.heading), c.text);

  // New York from Tokyo under its own pixel; PROJ's geod and aeqd (1080 / 2pi pixels per radian)
  // give the first row; the middle is the centre, the top of the ring its antipode.
  const PictureView tokyo = View(139.7, 35.7, 1);
  const std::optional<Place> newYork = PlaceAt(tokyo, ScreenPositionOf(tokyo, {-74, 40.7}));
  ASSERT_TRUE(newYork);
  EXPECT_EQ(ReadoutText(*newYork, HeadingFromCentre(tokyo, *newYork)),
            "経度 -74.00  緯度 40.70  方位 25.1°  距離 10,849 km");
  const Query queries[] = {Place{-74, 40.7}, PixelPoint{960, 540}, PixelPoint{0.5, 0.25},
                           PixelPoint{960, 0}};
  // The long path: the bearing plus 180 and the rest of the 40,030.1736 km great circle, each
  // distance rounded on its own (10,848.9305 and 29,181.2431 km).
  EXPECT_EQ(QueryCsv(queries, tokyo),
            "lon,lat,bearing,distance_km,x,y,long_bearing,long_distance_km,locator\n"
            "-74.000000,40.700000,25.1090,10848.930,1084.205,274.959,205.1090,29181.243,FN30aq\n"
            "139.700000,35.700000,0.0000,0.000,960.000,540.000,180.0000,40030.174,PM95uq\n"
            "NA,NA,NA,NA,0.500,0.250,NA,NA,NA\n"
            "-40.300000,-35.700000,0.0000,20015.087,960.000,0.000,180.0000,20015.087,GF94uh\n");
}

}  // namespace
}  // namespace globeview
