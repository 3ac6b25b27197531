#include "view/sun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace globeview {
namespace {

UtcTime Time(const char* text) {
  const auto time = ParseUtcTime(text);
  EXPECT_TRUE(time) << text;
  return time.value_or(UtcTime{});
}

// The apparent geocentric declination and Greenwich hour angle (apparent sidereal time less right
// ascension) from PyEphem 4.1.4.
TEST(SunTest, SubsolarPointAgreesWithPyEphemFrom1900To2100) {
  constexpr double kToleranceDegrees = 0.01;
  const struct {
    const char* time;
    double declination, greenwichHourAngle;
  } cases[] = {
      {"1900-01-01T00:00:00Z", -23.06292, 179.14222},
      {"1925-06-15T06:30:00Z", 23.29355, 277.47141},
      {"1950-03-21T12:00:00Z", 0.12213, 358.15256},
      {"1975-09-23T18:45:00Z", -0.04574, 103.13591},
      {"2000-01-01T12:00:00Z", -23.03242, 359.17857},
      {"2026-12-21T12:00:00Z", -23.43690, 0.48368},
      {"2050-07-04T03:15:30Z", 22.85410, 227.75457},
      {"2075-11-11T21:00:00Z", -17.62468, 138.99371},
      {"2100-12-31T23:59:59Z", -23.02362, 179.22331},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.time);
    const Subsolar sun = SubsolarPoint(Time(c.time));
    EXPECT_NEAR(sun.declination, c.declination, kToleranceDegrees);
    EXPECT_NEAR(std::remainder(sun.greenwichHourAngle - c.greenwichHourAngle, 360), 0,
                kToleranceDegrees);
    EXPECT_NEAR(std::remainder(sun.place.lon + c.greenwichHourAngle, 360), 0, kToleranceDegrees);
    EXPECT_NEAR(SunAltitude(sun, {sun.place.lon, sun.place.lat - 30}), 60, 1e-9);
  }
}

// Sunrise and sunset of the UTC day, the sun's centre 50 arc minutes below the horizon: PyEphem
// 4.1.4's next_rising and next_setting from the day's start, horizon -0:50, use_center, pressure 0
// (the convention of NOAA's calculator). A polar day or night has its text instead.
TEST(SunTest, SunriseAndSunsetWithinAMinuteAndPolarDaysAndNightsSaidSo) {
  const struct {
    Place place;
    std::string day;
    const char* sunrise;  // or the day's text
    const char* sunset;   // nullptr: none
  } cases[] = {
      {{139.7, 35.7}, "2026-12-21", "21:47:23", "07:31:15"},
      {{0, 51.48}, "2026-06-21", "03:42:44", "20:20:53"},
      {{-74, 40.7}, "2026-03-20", "10:59:17", "23:08:09"},
      {{151.2, -33.9}, "2026-09-01", "20:12:50", "07:37:01"},
      {{-78.5, -0.2}, "2100-12-31", "11:12:53", "23:21:02"},
      {{-0.1, 51.5}, "1900-01-01", "08:06:27", "16:01:52"},
      {{0, 72}, "2026-04-15", "03:39:20", "20:24:35"},
      {{-150, -72}, "2026-10-10", "14:09:13", "05:22:55"},
      {{179.9, 60}, "2026-05-01", "15:57:09", "07:56:56"},
      {{-179.9, -60}, "2026-05-01", "19:41:43", "04:13:15"},
      {{18.96, 69.65}, "2026-06-21", "白夜", nullptr},
      {{18.96, 69.65}, "2026-12-21", "極夜", nullptr},
      {{0, -80}, "2026-12-21", "白夜", nullptr},
      {{0, -80}, "2026-06-21", "極夜", nullptr},
  };
  constexpr std::int64_t kToleranceSeconds = 60;
  const auto at = [](const std::string& day, const char* clock) {
    return Time((day + "T" + clock + "Z").c_str()).seconds;
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.place.lon) + "," + std::to_string(c.place.lat) + " " + c.day);
    const SunDay day = SunriseSunset(c.place, Time((c.day + "T12:00Z").c_str()));
    if (c.sunset == nullptr) {
      EXPECT_EQ(SunriseSunsetText(day), c.sunrise);
      continue;
    }
    ASSERT_TRUE(day.sunrise && day.sunset);
    EXPECT_LE(std::abs(day.sunrise->seconds - at(c.day, c.sunrise)), kToleranceSeconds);
    EXPECT_LE(std::abs(day.sunset->seconds - at(c.day, c.sunset)), kToleranceSeconds);
  }
  EXPECT_EQ(SunriseSunsetText(SunriseSunset({139.7, 35.7}, Time("2026-12-21T00:00Z"))),
            "日の出 21:47 日の入 07:31 UTC");
}

// The windows against a scan of every tenth second, for places far apart, for one far north in the
// last nights before the midnight sun, from inside a window to inside another, and for two near the
// pole, where the sun's highest and lowest are hours from its crossing of the meridian.
TEST(SunTest, SharedGreylineWindowsAgreeWithAScanEveryTenSeconds) {
  const struct {
    Place centre, target;
    const char* from;
    int days;
  } cases[] = {
      {{139.7, 35.7}, {-74, 40.7}, "2026-12-19T00:00Z", 3},
      {{0, 51.5}, {151.2, -33.9}, "2026-06-20T05:00Z", 3},
      {{18.96, 69.65}, {-74, 40.7}, "2026-05-15T00:10:30Z", 4},
      {{83.28, 89.715}, {-10.084, 89.58}, "2026-09-19T20:28Z", 3},
  };
  constexpr std::int64_t kScanSeconds = 10;
  constexpr std::int64_t kToleranceSeconds = 60;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.from);
    const UtcTime from = Time(c.from);
    const UtcTime to{from.seconds + c.days * kSecondsPerDay};
    std::vector<TimeWindow> scanned;
    bool open = false;
    for (std::int64_t t = from.seconds; t < to.seconds; t += kScanSeconds) {
      const Subsolar sun = SubsolarPoint({t});
      const auto onLine = [&](Place place) {
        const double altitude = SunAltitude(sun, place);
        return altitude >= kCivilTwilightAltitude && altitude <= kGreylineTopAltitude;
      };
      const bool both = onLine(c.centre) && onLine(c.target);
      if (both && !open) scanned.push_back({{t}, to});
      if (!both && open) scanned.back().end = {t};
      open = both;
    }
    const auto windows = SharedGreylineWindows(c.centre, c.target, from, c.days);
    ASSERT_EQ(windows.size(), scanned.size());
    ASSERT_FALSE(windows.empty());
    for (std::size_t i = 0; i < windows.size(); ++i) {
      EXPECT_LE(std::abs(windows[i].start.seconds - scanned[i].start.seconds), kToleranceSeconds);
      EXPECT_LE(std::abs(windows[i].end.seconds - scanned[i].end.seconds), kToleranceSeconds);
    }
  }
}

}  // namespace
}  // namespace globeview
