#include "view/projection.h"

#include <gtest/gtest.h>
#include <hwy/targets.h>
#include <proj.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "test_support.h"
#include "view/projection_vector.h"

namespace globeview {
namespace {

constexpr double kTrueDegree = M_PI / 180;

// A 1920x1080-pixel screen in twips.
constexpr double kWidth = 28800;
constexpr double kHeight = 16200;

// A view of the screen at magnification c1, for the screen positions.
PictureView OnScreen(double c1, double width, double height) {
  return {{}, c1, {width, height}};
}

// A table holding `points` (longitude, latitude in degrees) from entry 1 on; every other entry is a
// coastline break.
PointTable MakeTable(const std::vector<std::pair<double, double>>& points) {
  PointTable t;
  for (int i = 1; i <= kPointCount; ++i) {
    t.SetSource(i, "NA", "NA");
  }
  for (std::size_t k = 0; k < points.size(); ++k) {
    const int i = static_cast<int>(k) + 1;
    t.SetSource(i, points[k].first, points[k].second);
  }
  return t;
}

// The fields the projection stores, then the screen position.
using Fields = std::array<double, 12>;
constexpr const char* kFieldNames[] = {"lonRad", "latRad", "az", "el", "x",  "y",
                                       "z",      "xr",     "yr", "zr", "sx", "sy"};
constexpr std::size_t kProjectedFields = 10;

std::array<double*, 12> FieldsOf(PointTable& t) {
  const PointTable::DerivedFields d = t.Derived();
  return {d.lonRad.data(), d.latRad.data(), d.az.data(), d.el.data(), d.x.data(),  d.y.data(),
          d.z.data(),      d.xr.data(),     d.yr.data(), d.zr.data(), d.sx.data(), d.sy.data()};
}

double OneTurnIntoRange(double angle) {
  if (angle > kTwoPi) angle -= kTwoPi;
  if (angle < 0) angle += kTwoPi;
  return angle;
}

// The projection and the screen positions as the plain passes they were written as, with the C
// library's functions: the vector code must give the same.
std::vector<Fields> ReferenceProjection(PointTable& t, double a1, double b1, double c1) {
  const auto fields = FieldsOf(t);
  const double turn = ((360 - a1) / 180) * kPi;
  const double tilt = ((90 - b1) / 180) * kPi;
  std::vector<Fields> reference(kPointCount + 1);
  for (int i = 1; i <= kPointCount; ++i) {
    Fields& f = reference[i];
    for (std::size_t k = 0; k < f.size(); ++k) f[k] = fields[k][i];
    auto& [lonRad, latRad, az, el, x, y, z, xr, yr, zr, sx, sy] = f;
    if (t.IsUsable(i)) {
      lonRad = OneTurnIntoRange(t.LonDeg()[i] * kPi / 180);
      latRad = t.LatDeg()[i] * kPi / 180;
      const double turned = OneTurnIntoRange(lonRad + turn);
      x = std::cos(turned) * std::cos(latRad);
      y = std::sin(turned) * std::cos(latRad);
      z = std::sin(latRad);
      xr = x * std::cos(tilt) - z * std::sin(tilt);
      yr = y;
      zr = x * std::sin(tilt) + z * std::cos(tilt);
      az = OneTurnIntoRange(xr > 0   ? std::atan(yr / xr)
                            : xr < 0 ? std::atan(yr / xr) + kPi
                            : yr > 0 ? kHalfPi
                            : yr < 0 ? 3 * kHalfPi
                                     : 0);
      const double horizontal = std::sqrt(xr * xr + yr * yr);
      el = horizontal == 0 ? (zr >= 0 ? kHalfPi : -kHalfPi)
                           : std::clamp(std::atan(zr / horizontal), -kHalfPi, kHalfPi);
    }
    const double radius = ((kHeight * (kHalfPi - el)) / kPi) * (c1 * (1.0 / 2));
    sx = radius * std::sin(az) + kWidth / 2;
    sy = radius * std::cos(az) + kHeight / 2;
  }
  return reference;
}

// Projects `t` and places it on the screen, and compares every entry with the reference: the
// stored angles and vectors within `fieldTolerance` relative to their size, the positions within
// `positionTolerance` twips. Unusable entries hold a mark that must survive the projection.
void ExpectReference(PointTable& t, double a1, double b1, double c1, double fieldTolerance,
                     double positionTolerance) {
  const auto fields = FieldsOf(t);
  for (int i = 1; i <= kPointCount; ++i) {
    for (std::size_t k = 0; k < kProjectedFields && !t.IsUsable(i); ++k) fields[k][i] = 0.42;
  }
  const std::vector<Fields> reference = ReferenceProjection(t, a1, b1, c1);
  Project(t, {a1, b1});
  ComputeScreenPositions(t, OnScreen(c1, kWidth, kHeight));
  int failures = 0;
  for (int i = 1; i <= kPointCount && failures < 10; ++i) {
    for (std::size_t k = 0; k < fields.size(); ++k) {
      const double want = reference[i][k], got = fields[k][i];
      const double allowed = k < kProjectedFields ? fieldTolerance * std::max(1.0, std::fabs(want))
                                                  : positionTolerance;
      if (std::fabs(got - want) <= allowed || got == want) continue;
      ++failures;
      ADD_FAILURE() << kFieldNames[k] << "[" << i << "] = " << got << ", expected " << want
                    << " (entry " << t.LonDeg()[i] << "," << t.LatDeg()[i] << ")";
    }
  }
}

// For ExpectReference: compare the positions alone.
constexpr double kAnyField = std::numeric_limits<double>::infinity();

// Runs `check` on each instruction set the projection is built for and this processor has.
void OnEveryTarget(const std::function<void()>& check) {
  const std::vector<std::string> targets = ProjectionTargets();
  ASSERT_FALSE(targets.empty());
  EXPECT_EQ(targets.back(), "SCALAR");
  for (const std::string& target : targets) {
    ASSERT_TRUE(UseProjectionTarget(target));
    SCOPED_TRACE(target);
    EXPECT_EQ(ProjectionTarget(), target);
    check();
  }
  EXPECT_FALSE(UseProjectionTarget("no such target"));
  ASSERT_TRUE(UseProjectionTarget(""));
  EXPECT_EQ(ProjectionTarget(), targets.front());
}

// A build the processor cannot run ends the program with an illegal instruction, and one passed
// over leaves speed unused: the builds the program finds runnable are exactly those Highway's own
// detection finds supported, and it chooses the best of them.
TEST(ProjectionTargetTest, RunsExactlyWhatHighwaysOwnDetectionSupports) {
  const std::int64_t supported = hwy::SupportedTargets();
  const std::vector<std::string> runnable = ProjectionTargets();
  const struct {
    const char* name;
    std::int64_t bit;
  } builds[] = {{"AVX3", HWY_AVX3}, {"AVX2", HWY_AVX2}, {"SSE4", HWY_SSE4}, {"SCALAR", HWY_SCALAR}};
  std::vector<std::string> expected;
  for (const auto& build : builds) {
    if ((supported & build.bit) != 0) expected.emplace_back(build.name);
  }
  EXPECT_EQ(runnable, expected);
  ASSERT_FALSE(runnable.empty());
  EXPECT_EQ(ProjectionTarget(), runnable.front());
}

// How far, in the program's degrees, the true pole of the working sphere lies from the view centre
// along its meridian: the tilt brings the centre to the program's pi/2, a little short of the true.
const double kPoleShift = 90 * (M_PI - kPi) / kPi;

struct AngleCase {
  const char* what;
  double a1, b1, lon, lat;
  double az, el;  // NaN: not checked
  double tolerance;
};

TEST(ProjectTest, GivesTheAnglesOfKnownPoints) {
  const double any = std::nan("");
  const AngleCase cases[] = {
      {"centre 0,0: the centre point", 0, 0, 0, 0, any, kHalfPi, 1e-8},
      {"centre 0,0: its antipode", 0, 0, 180, 0, any, -kHalfPi, 1e-8},
      {"north-pole centre: el is the latitude", 139.7, 90, 10, 45, any, 45 * kPi / 180, 1e-12},
      {"north-pole centre: southern point", 139.7, 90, -120, -33.5, any, -33.5 * kPi / 180, 1e-12},
      {"north-pole centre: its own meridian is down", 139.7, 90, 139.7, 10, 0, any, 1e-8},
      {"90 east of 0,0", 0, 0, 90, 0, kHalfPi, 0, 1e-8},
      {"90 east of Tokyo", 139.7, 35.7, 229.7, 0, kHalfPi, any, 1e-8},
      {"90 east of a southern centre", 300, -60, 30, 0, kHalfPi, any, 1e-8},
      {"90 east of 180,10", 180, 10, 270, 0, kHalfPi, any, 1e-8},
      {"90 west of Tokyo", 139.7, 35.7, 49.7, 0, 3 * kHalfPi, any, 1e-8},
      {"north pole from Tokyo", 139.7, 35.7, 0, 90, kPi, any, 1e-8},
      {"north pole from the south", 300, -60, 77, 90, kPi, -kPi / 3, 1e-8},
      {"north pole from 0,0", 0, 0, 0, 90, kPi, 0, 1e-8},
      {"south pole from Tokyo", 139.7, 35.7, 0, -90, 0, any, 1e-8},
      {"due south, negative atan", 10, 0, 9, -30, any, any, 0},
      // The program's pi is short of the true one, so its turn by 180 degrees leaves the antipode
      // about 3e-9 rad off; the centre itself is held exactly on the middle.
      {"Tokyo seen from itself", 139.7, 35.7, 139.7, 35.7, any, kHalfPi, 0},
      {"antipode of Tokyo", 139.7, 35.7, -40.3, -35.7, any, -kHalfPi, 1e-8},
      // The true pole of the working sphere and its antipode, where the arctangent gives just past
      // +-pi/2: held at the bound, the middle and the outer ring.
      {"just past the centre", 139.7, 35.7, 139.7, 35.7 + kPoleShift, any, kHalfPi, 0},
      {"just past the antipode", 139.7, 35.7, -40.3 + 2 * kPoleShift, -35.7 - kPoleShift, any,
       -kHalfPi, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    PointTable t = MakeTable({{c.lon, c.lat}});
    Project(t, {c.a1, c.b1});
    EXPECT_GE(t.Az()[1], 0);
    EXPECT_LE(t.Az()[1], kTwoPi);
    EXPECT_GE(t.El()[1], -kHalfPi);
    EXPECT_LE(t.El()[1], kHalfPi);
    // Directions just either side of north are 0 and 2pi.
    if (!std::isnan(c.az)) {
      EXPECT_NEAR(std::remainder(t.Az()[1] - c.az, 2 * M_PI), 0, c.tolerance);
    }
    if (!std::isnan(c.el)) {
      EXPECT_NEAR(t.El()[1], c.el, c.tolerance);
    }
  }
}

TEST(ProjectTest, WesternLongitudesMatchTheSameLongitudePlusATurn) {
  const std::pair<double, double> centres[] = {{0, 0}, {139.7, 35.7}, {300, -60}, {360, 90}};
  const double lons[] = {-0.5, -75.5, -179.9, -180};
  for (const auto& [a1, b1] : centres) {
    for (double lon : lons) {
      SCOPED_TRACE(std::to_string(a1) + "," + std::to_string(b1) + " " + std::to_string(lon));
      PointTable t = MakeTable({{lon, 20}, {lon + 360, 20}});
      Project(t, {a1, b1});
      EXPECT_GE(t.LonRad()[1], 0);
      EXPECT_LE(t.LonRad()[1], kTwoPi);
      EXPECT_NEAR(t.LonRad()[1], t.LonRad()[2], 1e-12);
      EXPECT_NEAR(t.El()[1], t.El()[2], 1e-12);
      // The azimuth wraps at 0 / 2pi; compare it as a direction.
      const double daz = std::remainder(t.Az()[1] - t.Az()[2], 2 * M_PI);
      EXPECT_NEAR(daz, 0, 1e-12);
    }
  }
}

// Rounding can leave the turned and tilted vector exactly on the axis (xr = 0), where the
// quotients have no value. With the centre (360, b1), b1 within a hair of 0, the tilt is about
// pi/2, whose sine rounds to 1, and a point on the centre's meridian keeps az = 0, so yr = 0 and
// xr = x cos(tilt) - el with x within an ulp or two of 1: it is 0 where the point's el is x
// cos(tilt). A hair east or west of the meridian gives yr > 0 or yr < 0 with the same xr. Search
// the latitudes about that one at a few such centres, so that each branch is reached whatever the
// last bits of the instruction set's cosine.
TEST(ProjectTest, VectorsExactlyOnTheAxisTakeTheLimitsAndNeverANaN) {
  OnEveryTarget([&] {
    int xrZeroYrPositive = 0, xrZeroYrNegative = 0, bothZero = 0;
    for (const double b1 : {0.0, 1e-11, 2e-11, 3e-11}) {
      SCOPED_TRACE(b1);
      const double tilt = ((90 - b1) / 180) * kPi;
      std::vector<std::pair<double, double>> points;
      double lat = std::cos(tilt) * 180 / kPi;
      for (int k = 0; k < 64; ++k) lat = std::nextafter(lat, 0.0);
      for (int k = 0; k < 128; ++k, lat = std::nextafter(lat, 1.0)) {
        for (double lon : {1e-9, 0.0, -1e-9}) points.push_back({lon, lat});
      }
      PointTable t = MakeTable(points);
      Project(t, {360, b1});
      for (int i = 1; i <= static_cast<int>(points.size()); ++i) {
        SCOPED_TRACE(i);
        ASSERT_FALSE(std::isnan(t.Az()[i]));
        ASSERT_FALSE(std::isnan(t.El()[i]));
        EXPECT_GE(t.Az()[i], 0);
        EXPECT_LE(t.Az()[i], kTwoPi);
        EXPECT_NEAR(t.El()[i], kHalfPi, 1e-8);
        EXPECT_LE(t.El()[i], kHalfPi);
        if (t.Xr()[i] != 0) continue;
        if (t.Yr()[i] > 0) {
          ++xrZeroYrPositive;
          EXPECT_EQ(t.Az()[i], kHalfPi);
        } else if (t.Yr()[i] < 0) {
          ++xrZeroYrNegative;
          EXPECT_EQ(t.Az()[i], 3 * kHalfPi);
        } else {
          ++bothZero;
          EXPECT_EQ(t.Az()[i], 0);
          EXPECT_EQ(t.El()[i], kHalfPi);
        }
      }
      // These points are all at the centre, where the direction is no matter: an ulp of
      // difference in the cosines turns az there by up to pi and moves nothing on the screen.
      ExpectReference(t, 360, b1, 1, kAnyField, 1e-6);
    }
    EXPECT_GT(xrZeroYrPositive, 0);
    EXPECT_GT(xrZeroYrNegative, 0);
    EXPECT_GT(bothZero, 0);
  });
}

// Highway's sine and cosine hold up to about 39000 rad, a longitude of about 2.2e6 degrees; beyond
// that a whole vector goes through the C library, here with ordinary and unusable neighbours.
TEST(ProjectTest, LeavesUnusableEntriesAloneAndSurvivesEnormousFieldValues) {
  const double max = std::numeric_limits<double>::max();
  const std::vector<std::pair<double, double>> points = {
      {1e308, 10},  {10, 1e308}, {-max, -max}, {5, 100},          {0, 0},   {1e300, 10}, {20, -30},
      {10, -1e300}, {2.2e6, 45}, {2.3e6, -45}, {-5.7e307, 1e306}, {170, 80}};
  OnEveryTarget([&] {
    PointTable t = MakeTable(points);
    // Entry 5: a valid entry whose field is stray text. The last entry lies past the last whole
    // vector on every instruction set.
    t.SetSource(5, "12abc", 100);
    t.SetSource(kPointCount, 10, 20);
    ExpectReference(t, 139.7, 35.7, 2.5, 1e-12, 1e-6);
  });
  // A latitude beyond the pole is the point over it: 100 N on 5 E is 80 N on 185 E.
  PointTable t = MakeTable(points);
  PointTable over = MakeTable({{185, 80}});
  Project(t, {139.7, 35.7});
  Project(over, {139.7, 35.7});
  // The program's pi puts its pole a little short of the true one: equal to a few 1e-9.
  EXPECT_NEAR(t.Az()[4], over.Az()[1], 1e-8);
  EXPECT_NEAR(t.El()[4], over.El()[1], 1e-8);
}

struct ScreenCase {
  const char* what;
  double a1, b1, c1, lon, lat;
  double sx, sy;
  double tolerance;
};

TEST(ScreenPositionsTest, PlaceKnownPointsAroundTheMiddle) {
  const double w = kWidth, h = kHeight;
  const ScreenCase cases[] = {
      {"the centre is the middle", 0, 0, 1, 0, 0, w / 2, h / 2, 1e-4},
      {"Tokyo from itself, magnified", 139.7, 35.7, 10, 139.7, 35.7, w / 2, h / 2, 0},
      {"90 east: right, a quarter height", 0, 0, 1, 90, 0, w / 2 + h / 4, h / 2, 1e-4},
      {"90 east at 4x", 0, 0, 4, 90, 0, w / 2 + h, h / 2, 1e-3},
      {"north is up", 0, 0, 1, 0, 45, w / 2, h / 2 - h / 8, 1e-4},
      {"north pole from the north pole", 139.7, 90, 1, 0, 90, w / 2, h / 2, 1e-4},
      {"equator from the north pole, own meridian down", 139.7, 90, 1, 139.7, 0, w / 2,
       h / 2 + h / 4, 1e-4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    PointTable t = MakeTable({{c.lon, c.lat}});
    Project(t, {c.a1, c.b1});
    ComputeScreenPositions(t, OnScreen(c.c1, w, h));
    EXPECT_NEAR(t.Sx()[1], c.sx, c.tolerance);
    EXPECT_NEAR(t.Sy()[1], c.sy, c.tolerance);
  }
}

TEST(ScreenPositionsTest, PutsTheAntipodeOnTheOuterRing) {
  // Its direction is undefined; its distance from the middle is H/2 x magnification.
  const double c1s[] = {1, 2.5, 10};
  for (double c1 : c1s) {
    PointTable t = MakeTable({{180, 0}, {-40.3, -35.7}});
    Project(t, {0, 0});
    ComputeScreenPositions(t, OnScreen(c1, kWidth, kHeight));
    EXPECT_NEAR(std::hypot(t.Sx()[1] - kWidth / 2, t.Sy()[1] - kHeight / 2), kHeight / 2 * c1,
                1e-4);
    Project(t, {139.7, 35.7});
    ComputeScreenPositions(t, OnScreen(c1, kWidth, kHeight));
    EXPECT_NEAR(std::hypot(t.Sx()[2] - kWidth / 2, t.Sy()[2] - kHeight / 2), kHeight / 2 * c1,
                1e-4);
  }
}

TEST(ScreenPositionsTest, GivesEveryEntryAHarmlessPosition) {
  PointTable t = MakeTable({{10, 10}});
  Project(t, {139.7, 35.7});
  ComputeScreenPositions(t, OnScreen(2.5, kWidth, kHeight));
  for (int i = 1; i <= kPointCount; ++i) {
    ASSERT_TRUE(std::isfinite(t.Sx()[i]) && std::isfinite(t.Sy()[i])) << i;
  }
}

// The program's positions against PROJ's azimuthal equidistant projection on a sphere of radius 1,
// whose (x, y) has the length of the angular distance d. The program draws r = H d c1 / (2 pi) with
// its own pi, and y grows downwards.
struct Centre {
  double a1, b1, c1;
};

const Centre kOracleCentres[] = {
    {139.7, 90, 1},     // north pole
    {200, -90, 1},      // south pole
    {0, 0, 1},          // equator at 0
    {180, 0, 1},        // equator at 180
    {300, -33.9, 1},    // southern centre
    {139.7, 35.7, 10},  // magnified
    {139.7, 35.7, 1},  {360, 51.5, 2.5}, {12.5, -89.99, 3},
};

constexpr double kOracleTolerance = 0.01;  // twips
// Within this of the antipode every direction is nearly the same point; not compared.
constexpr double kAntipodeExclusion = 0.1 * kTrueDegree;

// The program's pi is about 3.6e-9 short of the true one while the sines and arctangents work with
// the true one, so its turn carries a point 180 degrees away to about 3.6e-9 rad short of the true
// half turn, and the tilt and the latitudes add about 1.8e-9 rad each. That moves the program's
// antipode up to kAntipodeDrift off the true one; near the antipode a shift of it turns the
// direction of a point at distance d by about drift / sin(pi - d), which on the screen is
// scale x d x drift / sin(pi - d). At 0.1 degree from the antipode that is about 0.018 twips at
// magnification 1 and 0.18 at 10 (0.0012 and 0.012 pixels): the formulas as given cannot hold
// 0.01 twips there, so points that near the antipode are allowed that much more.
constexpr double kAntipodeDrift = 2 * (M_PI - kPi);

struct OracleResult {
  int compared = 0;
  double worstExcess = -1;  // error minus allowance, twips
  int worstEntry = 0;
};

// Compares every usable entry farther than kAntipodeExclusion from the antipode. With
// `allowAntipodeDrift` the allowance grows near the antipode as described above.
OracleResult CompareWithProj(PointTable& t, const Centre& centre, bool allowAntipodeDrift) {
  Project(t, {centre.a1, centre.b1});
  ComputeScreenPositions(t, OnScreen(centre.c1, kWidth, kHeight));

  PJ_CONTEXT* ctx = proj_context_create();
  const std::string definition = "+proj=aeqd +lat_0=" + std::to_string(centre.b1) +
                                 " +lon_0=" + std::to_string(centre.a1) + " +R=1";
  PJ* pj = proj_create(ctx, definition.c_str());
  EXPECT_NE(pj, nullptr) << definition;
  OracleResult result;
  if (pj == nullptr) {
    proj_context_destroy(ctx);
    return result;
  }
  const double inputScale = proj_degree_input(pj, PJ_FWD) ? 1.0 : kTrueDegree;
  const double scale = kHeight * centre.c1 / (2 * kPi);

  const double sinB = std::sin(centre.b1 * kTrueDegree);
  const double cosB = std::cos(centre.b1 * kTrueDegree);
  for (int i = 1; i <= kPointCount; ++i) {
    if (!t.IsUsable(i)) continue;
    const double lon = t.LonDeg()[i], lat = t.LatDeg()[i];
    const double cosD =
        sinB * std::sin(lat * kTrueDegree) +
        cosB * std::cos(lat * kTrueDegree) * std::cos((lon - centre.a1) * kTrueDegree);
    const double d = std::acos(std::clamp(cosD, -1.0, 1.0));
    const double fromAntipode = M_PI - d;
    if (fromAntipode < kAntipodeExclusion) continue;
    const PJ_COORD out =
        proj_trans(pj, PJ_FWD, proj_coord(lon * inputScale, lat * inputScale, 0, 0));
    const double sx = kWidth / 2 + out.xy.x * scale;
    const double sy = kHeight / 2 - out.xy.y * scale;
    const double error = std::max(std::fabs(sx - t.Sx()[i]), std::fabs(sy - t.Sy()[i]));
    double allowed = kOracleTolerance;
    if (allowAntipodeDrift) allowed += scale * d * kAntipodeDrift / std::sin(fromAntipode);
    ++result.compared;
    if (!(error - allowed <= result.worstExcess)) {
      result.worstExcess = error - allowed;
      result.worstEntry = i;
    }
  }
  proj_destroy(pj);
  proj_context_destroy(ctx);
  return result;
}

// Points at `distances` (degrees) all round (lon, lat), 1 degree apart in direction.
void AddRings(std::vector<std::pair<double, double>>& points, double lon, double lat,
              std::initializer_list<double> distances) {
  const double phi = lat * kTrueDegree;
  for (double distance : distances) {
    const double d = distance * kTrueDegree;
    for (int k = 0; k < 360; ++k) {
      const double bearing = k * kTrueDegree;
      const double lat2 =
          std::asin(std::sin(phi) * std::cos(d) + std::cos(phi) * std::sin(d) * std::cos(bearing));
      const double dlon = std::atan2(std::sin(bearing) * std::sin(d) * std::cos(phi),
                                     std::cos(d) - std::sin(phi) * std::sin(lat2));
      points.push_back({lon + dlon / kTrueDegree, lat2 / kTrueDegree});
    }
  }
}

TEST(ProjOracleTest, AgreesWithProjOnAGridAndAroundTheCentreAndTheAntipode) {
  std::vector<std::pair<double, double>> grid;
  for (double lat = -90; lat <= 90; lat += 1.3) {
    for (double lon = -180; lon <= 360; lon += 2.9) grid.push_back({lon, lat});
  }
  for (double lon : {-180.0, 0.0, 45.0, 180.0, 360.0}) {
    grid.push_back({lon, 90});
    grid.push_back({lon, -90});
  }
  for (const auto& centre : kOracleCentres) {
    SCOPED_TRACE(std::to_string(centre.a1) + "," + std::to_string(centre.b1) + " x" +
                 std::to_string(centre.c1));
    auto points = grid;
    AddRings(points, centre.a1, centre.b1, {0.001, 0.01, 0.1, 1});
    AddRings(points, centre.a1 - 180, -centre.b1, {0.1001, 0.2, 0.5, 1, 2, 5, 10});
    ASSERT_LE(points.size(), static_cast<std::size_t>(kPointCount));
    PointTable t = MakeTable(points);
    const OracleResult r = CompareWithProj(t, centre, true);
    EXPECT_GT(r.compared, 25000);
    EXPECT_LE(r.worstExcess, 0) << "entry " << r.worstEntry << " at " << t.LonDeg()[r.worstEntry]
                                << "," << t.LatDeg()[r.worstEntry];
  }
}

// The coastline itself comes nowhere near that close to these antipodes: 0.01 twips throughout.
TEST(ProjOracleTest, AgreesWithProjOnTheShippedCoastline) {
  ASSERT_TRUE(std::filesystem::exists(test::ShippedCoastlinePath()));
  PointTable& t = test::ShippedTable();
  for (const auto& centre : kOracleCentres) {
    SCOPED_TRACE(std::to_string(centre.a1) + "," + std::to_string(centre.b1) + " x" +
                 std::to_string(centre.c1));
    const OracleResult r = CompareWithProj(t, centre, false);
    EXPECT_GT(r.compared, 50000);
    EXPECT_LE(r.worstExcess, 0) << "entry " << r.worstEntry << " at " << t.LonDeg()[r.worstEntry]
                                << "," << t.LatDeg()[r.worstEntry];
  }
}

// Views over the whole range: the poles, the antimeridian, southern centres, magnification 1 to
// 10. Within 1e-6 twips the positions are the plain formulas', whatever instruction set runs.
TEST(ProjectTest, ShippedCoastlineFollowsThePlainFormulasAtManyViews) {
  const Centre views[] = {
      {0, 0, 1},        {0, 0, 10},       {139.7, 35.7, 1}, {139.7, 35.7, 10}, {139.7, 90, 1},
      {0, 90, 10},      {200, -90, 1},    {360, -90, 10},   {12.5, -89.99, 3}, {225, 89.9, 1},
      {180, 0, 1},      {180, 45, 2},     {180, -45, 10},   {179.999, 10, 1},  {180.001, -10, 1},
      {360, 51.5, 2.5}, {300, -33.9, 1},  {300, -33.9, 10}, {90, -60, 4},      {270, 60, 7.5},
      {45, -0.5, 1},    {0.001, -70, 10},
  };
  PointTable& t = test::ShippedTable();
  OnEveryTarget([&] {
    for (const auto& v : views) {
      SCOPED_TRACE(std::to_string(v.a1) + "," + std::to_string(v.b1) + " x" + std::to_string(v.c1));
      ExpectReference(t, v.a1, v.b1, v.c1, 1e-12, 1e-6);
    }
  });
}

// The lines' vectors land where PositionOf puts the same places, over centres all round the earth.
TEST(ProjectionTest, EarthVectorsAgreeWithPositionOf) {
  for (double clat = -90; clat <= 90; clat += 30) {
    for (double clon = 0; clon < 360; clon += 50) {
      const Projector projector(PictureView::OfPixels({clon, clat}, 3, 1920, 1080));
      for (double lat = -89; lat <= 89; lat += 7) {
        for (double lon = -180; lon <= 180; lon += 11) {
          const ScreenPosition want = projector.PositionOf({lon, lat});
          const ScreenPosition got = projector.PositionOfVector(EarthVectorOf({lon, lat}));
          ASSERT_NEAR(got.x, want.x, 1e-3) << clon << "," << clat << " " << lon << "," << lat;
          ASSERT_NEAR(got.y, want.y, 1e-3) << clon << "," << clat << " " << lon << "," << lat;
        }
      }
    }
  }
}

}  // namespace
}  // namespace globeview
