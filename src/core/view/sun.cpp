#include "view/sun.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <span>

namespace globeview {
namespace {

// The sun's place is worked out with the true pi; the drawing's own pi plays no part in it.
constexpr double kRadiansPerDegree = std::numbers::pi / 180;
constexpr double kDegreesPerTurn = 360;

// The Julian day at 1970-01-01T00:00, and at the epoch J2000.0 the series are measured from.
constexpr double kJulianDayOfUnixEpoch = 2440587.5;
constexpr double kJulianDayOfJ2000 = 2451545.0;
constexpr double kDaysPerJulianCentury = 36525;

// The step of the search for the times the sun's altitude turns from rising to falling or back.
// Two turns closer together than this enclose a change of altitude too small to matter: near a
// pole, where they can come close, the sun's height barely changes over the day.
constexpr std::int64_t kTurnSearchSeconds = 10 * kSecondsPerMinute;

double Sin(double degrees) {
  return std::sin(degrees * kRadiansPerDegree);
}
double Cos(double degrees) {
  return std::cos(degrees * kRadiansPerDegree);
}

// Degrees into 0 to under 360.
double Turned(double degrees) {
  const double reduced = std::fmod(degrees, kDegreesPerTurn);
  return reduced < 0 ? reduced + kDegreesPerTurn : reduced;
}

// The first second after `low`, up to `high`, at which `is` differs from its value at `low`, given
// that it differs at `high`.
template <typename Is>
UtcTime FirstChange(UtcTime low, UtcTime high, Is is) {
  const bool atLow = is(low);
  while (high.seconds - low.seconds > 1) {
    const UtcTime middle{low.seconds + (high.seconds - low.seconds) / 2};
    (is(middle) == atLow ? low : high) = middle;
  }
  return high;
}

// A time at which the sun's altitude passes a threshold: the first second on the new side.
struct Crossing {
  UtcTime time;
  bool rising = false;
};

// Every time from `from` to `to` at which the sun's altitude at `place` passes one of the
// thresholds. The times the altitude turns cut the span into stretches in which it only rises or
// only falls, so that each threshold is passed at most once in each: usually near the sun's
// highest and lowest, but near a pole the drift of its declination moves them by hours, or leaves
// the sun rising or falling all day.
std::vector<Crossing> Crossings(Place place, std::span<const double> thresholds, UtcTime from,
                                UtcTime to) {
  if (!std::isfinite(place.lon) || !std::isfinite(place.lat)) return {};
  const auto rising = [&](UtcTime time) {
    return SunAltitude(UtcTime{time.seconds + 1}, place) > SunAltitude(time, place);
  };
  std::vector<UtcTime> cuts{from};
  bool risingAtCut = rising(from);
  for (UtcTime step = from; step < to;) {
    const UtcTime next = std::min(UtcTime{step.seconds + kTurnSearchSeconds}, to);
    const bool risingAtNext = rising(next);
    if (risingAtNext != risingAtCut) cuts.push_back(FirstChange(step, next, rising));
    cuts.push_back(next);
    step = next;
    risingAtCut = risingAtNext;
  }

  std::vector<Crossing> crossings;
  for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
    const double altitudeAtStart = SunAltitude(cuts[i], place);
    const double altitudeAtEnd = SunAltitude(cuts[i + 1], place);
    for (const double threshold : thresholds) {
      if ((altitudeAtStart >= threshold) != (altitudeAtEnd >= threshold)) {
        const auto above = [&](UtcTime time) { return SunAltitude(time, place) >= threshold; };
        crossings.push_back({FirstChange(cuts[i], cuts[i + 1], above), altitudeAtEnd >= threshold});
      }
    }
  }
  std::sort(crossings.begin(), crossings.end(),
            [](const Crossing& a, const Crossing& b) { return a.time < b.time; });
  return crossings;
}

bool OnGreyline(double altitude) {
  return altitude >= kCivilTwilightAltitude && altitude <= kGreylineTopAltitude;
}

}  // namespace

Subsolar SubsolarPoint(UtcTime time) {
  // NOAA's solar calculator, after Meeus (Astronomical Algorithms, chapters 12, 22 and 25).
  // Universal time stands in for terrestrial time, as in NOAA's: the few minutes at most between
  // them from 1900 to 2100 move the sun by under 0.003 degree.
  const double days = static_cast<double>(time.seconds) / kSecondsPerDay + kJulianDayOfUnixEpoch -
                      kJulianDayOfJ2000;
  const double t = days / kDaysPerJulianCentury;
  const double meanLongitude = Turned(280.46646 + t * (36000.76983 + t * 0.0003032));
  const double meanAnomaly = 357.52911 + t * (35999.05029 - t * 0.0001537);
  const double centre = Sin(meanAnomaly) * (1.914602 - t * (0.004817 + t * 0.000014)) +
                        Sin(2 * meanAnomaly) * (0.019993 - t * 0.000101) +
                        Sin(3 * meanAnomaly) * 0.000289;
  const double node = 125.04 - 1934.136 * t;  // of the moon's orbit, which drives the nutation
  const double nutationInLongitude = -0.00478 * Sin(node);
  const double aberration = -0.00569;
  const double longitude = meanLongitude + centre + aberration + nutationInLongitude;
  const double meanObliquity =
      23 + (26 + (21.448 - t * (46.815 + t * (0.00059 - t * 0.001813))) / 60) / 60;
  const double obliquity = meanObliquity + 0.00256 * Cos(node);
  const double rightAscension =
      std::atan2(Cos(obliquity) * Sin(longitude), Cos(longitude)) / kRadiansPerDegree;
  const double declination = std::asin(Sin(obliquity) * Sin(longitude)) / kRadiansPerDegree;
  // The hour angle from the apparent sidereal time at Greenwich rather than from NOAA's shortened
  // equation of time, which puts it up to 0.016 degree off an ephemeris's.
  const double meanSiderealTime =
      280.46061837 + 360.98564736629 * days + t * t * (0.000387933 - t / 38710000);
  const double siderealTime = meanSiderealTime + nutationInLongitude * Cos(obliquity);

  Subsolar sun;
  sun.declination = declination;
  sun.greenwichHourAngle = Turned(siderealTime - rightAscension);
  sun.place = {std::remainder(-sun.greenwichHourAngle, kDegreesPerTurn), declination};
  sun.x = Cos(declination) * Cos(sun.place.lon);
  sun.y = Cos(declination) * Sin(sun.place.lon);
  sun.z = Sin(declination);
  return sun;
}

double SunAltitude(const Subsolar& sun, Place place) {
  const double cosLat = Cos(place.lat);
  const double sine =
      cosLat * Cos(place.lon) * sun.x + cosLat * Sin(place.lon) * sun.y + Sin(place.lat) * sun.z;
  return std::asin(std::clamp(sine, -1.0, 1.0)) / kRadiansPerDegree;
}

double SunAltitude(UtcTime time, Place place) {
  return SunAltitude(SubsolarPoint(time), place);
}

SunDay SunriseSunset(Place place, UtcTime anyTimeOfTheDay) {
  const UtcTime start = StartOfUtcDay(anyTimeOfTheDay);
  const UtcTime end{start.seconds + kSecondsPerDay - 1};
  const std::array thresholds{kSunriseAltitude};
  SunDay day;
  for (const Crossing& crossing : Crossings(place, thresholds, start, end)) {
    auto& event = crossing.rising ? day.sunrise : day.sunset;
    if (!event) event = crossing.time;
  }
  if (!day.sunrise && !day.sunset) {
    day.kind = SunAltitude(start, place) >= kSunriseAltitude ? SunDay::Kind::kPolarDay
                                                             : SunDay::Kind::kPolarNight;
  }
  return day;
}

std::string SunriseSunsetText(const SunDay& day) {
  if (day.kind == SunDay::Kind::kPolarDay) return "白夜";
  if (day.kind == SunDay::Kind::kPolarNight) return "極夜";
  const auto clock = [](const std::optional<UtcTime>& time) {
    return time ? UtcClockText(NearestMinute(*time)) : std::string("--:--");
  };
  return "日の出 " + clock(day.sunrise) + " 日の入 " + clock(day.sunset) + " UTC";
}

std::vector<TimeWindow> SharedGreylineWindows(Place centre, Place target, UtcTime from, int days) {
  const UtcTime to{from.seconds + std::max(days, 0) * kSecondsPerDay};
  // Both places' altitudes stay on one side of each threshold between two crossings, so whether
  // both are on the grey line is settled once for each stretch between consecutive crossings.
  const std::array thresholds{kCivilTwilightAltitude, kGreylineTopAltitude};
  std::vector<UtcTime> boundaries{from};
  for (const Place place : {centre, target}) {
    for (const Crossing& crossing : Crossings(place, thresholds, from, to)) {
      boundaries.push_back(crossing.time);
    }
  }
  std::sort(boundaries.begin(), boundaries.end());
  boundaries.erase(std::unique(boundaries.begin(), boundaries.end()), boundaries.end());
  boundaries.push_back(to);

  std::vector<TimeWindow> windows;
  bool open = false;
  for (std::size_t i = 0; i + 1 < boundaries.size() && boundaries[i] < to; ++i) {
    const Subsolar sun = SubsolarPoint(boundaries[i]);
    const bool both = OnGreyline(SunAltitude(sun, centre)) && OnGreyline(SunAltitude(sun, target));
    if (both && !open) windows.push_back({boundaries[i], to});
    if (!both && open) windows.back().end = boundaries[i];
    open = both;
  }
  return windows;
}

}  // namespace globeview
