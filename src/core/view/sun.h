#pragma once

#include <optional>
#include <string>
#include <vector>

#include "system/utc_time.h"
#include "view/picture.h"

namespace globeview {

// The sun as the map needs it: where it stands overhead at a moment, how high it stands at a place,
// and from these a place's sunrise and sunset and the times two places share the grey line. The
// sun's place is NOAA's solar calculator's, after Meeus's Astronomical Algorithms, with the hour
// angle from Meeus's apparent sidereal time: within 0.01 degree from 1900 to 2100. Altitudes are
// of the sun's centre, without refraction; the thresholds below allow for it.

// Sunrise and sunset: the centre 50 arc minutes below the horizon (refraction and the sun's
// radius), as almanacs and NOAA's calculator count them.
inline constexpr double kSunriseAltitude = -0.833;
// The grey line, where the radio paths along the terminator open: from the end of civil twilight
// to just above the horizon.
inline constexpr double kCivilTwilightAltitude = -6.0;
inline constexpr double kGreylineTopAltitude = 1.0;

// The point where the sun is overhead at a moment.
struct Subsolar {
  double declination = 0;         // degrees, north positive: the point's latitude
  double greenwichHourAngle = 0;  // degrees west of Greenwich, 0 to under 360
  Place place;                    // longitude -180..180 (the hour angle's negative), latitude
  // The point as a unit vector (x towards 0E 0N, y towards 90E, z north), so that the sine of the
  // sun's altitude at a place is its dot product with the place's unit vector.
  double x = 0, y = 0, z = 1;
};
Subsolar SubsolarPoint(UtcTime time);

// The altitude of the sun's centre above the horizon at a place, degrees, -90 to 90.
double SunAltitude(const Subsolar& sun, Place place);
double SunAltitude(UtcTime time, Place place);

// A place's sunrise and sunset within one UTC day. A place that is not a number has a polar night.
struct SunDay {
  enum class Kind {
    kRiseOrSet,   // the sun rises or sets during the day
    kPolarDay,    // it stays up the whole day
    kPolarNight,  // it stays down the whole day
  } kind = Kind::kRiseOrSet;
  // The day's first sunrise and first sunset, to the second. Where the sun sets for the last time
  // before a polar night, or rises for the first time after one, the day has only the one.
  std::optional<UtcTime> sunrise, sunset;
};
SunDay SunriseSunset(Place place, UtcTime anyTimeOfTheDay);

// The line a target's readout gains: "日の出 05:12 日の入 16:40 UTC", each to the nearest minute;
// "--:--" for the one a day lacks; "白夜" for a polar day and "極夜" for a polar night.
std::string SunriseSunsetText(const SunDay& day);

// A stretch of time, from its start up to its end.
struct TimeWindow {
  UtcTime start;
  UtcTime end;
};

// The times within `days` days from `from` when the sun stands at both places between
// kCivilTwilightAltitude and kGreylineTopAltitude, in order, each to the second. A window already
// open at `from` starts there; one still open at the end of the span ends there.
std::vector<TimeWindow> SharedGreylineWindows(Place centre, Place target, UtcTime from, int days);

}  // namespace globeview
