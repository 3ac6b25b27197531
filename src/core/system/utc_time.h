#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace globeview {

// A moment in UTC, whole seconds since 1970-01-01T00:00Z, leap seconds not counted (as the
// system's clock counts).
struct UtcTime {
  std::int64_t seconds = 0;
  auto operator<=>(const UtcTime&) const = default;
};

inline constexpr std::int64_t kSecondsPerMinute = 60;
inline constexpr std::int64_t kSecondsPerDay = 86400;

// The earliest and latest times the program reads: the years its sun is computed for.
inline constexpr int kEarliestYear = 1900;
inline constexpr int kLatestYear = 2100;

// The system's clock now.
UtcTime UtcNow();

// A time as ISO 8601 in UTC, "2026-12-21T12:00Z" or with seconds "2026-12-21T12:00:30Z", in a year
// from kEarliestYear to kLatestYear; or "now", the clock's time. Nothing else (no other zone, no
// blanks, no leap second).
std::optional<UtcTime> ParseUtcTime(std::string_view text);

// The time to the nearest minute, half a minute rounding up.
UtcTime NearestMinute(UtcTime time);

// The minute a time falls in: "2026-12-21T07:58Z".
std::string UtcMinuteText(UtcTime time);

// The hour and minute a time falls in: "07:58".
std::string UtcClockText(UtcTime time);

// The start of the UTC day a time falls in.
UtcTime StartOfUtcDay(UtcTime time);

}  // namespace globeview
