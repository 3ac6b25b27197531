#include "system/utc_time.h"

#include <chrono>
#include <cstdio>

namespace globeview {
namespace {

using std::chrono::days;
using std::chrono::sys_days;
using std::chrono::year_month_day;

// The number of `count` digits at `text[at]`, or -1 when any of them is not a digit.
int Digits(std::string_view text, std::size_t at, std::size_t count) {
  int value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

// Floor division, so that times before 1970 fall in the day and minute they belong to.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

}  // namespace

UtcTime UtcNow() {
  const auto now = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
  return {now.time_since_epoch().count()};
}

std::optional<UtcTime> ParseUtcTime(std::string_view text) {
  if (text == "now") return UtcNow();
  // "YYYY-MM-DDTHH:MMZ", 17 characters, or with ":SS" before the Z, 20.
  constexpr std::string_view kMinuteShape = "dddd-dd-ddTdd:ddZ";
  constexpr std::string_view kSecondShape = "dddd-dd-ddTdd:dd:ddZ";
  const std::string_view shape = text.size() == kMinuteShape.size()   ? kMinuteShape
                                 : text.size() == kSecondShape.size() ? kSecondShape
                                                                      : std::string_view{};
  if (shape.empty()) return std::nullopt;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    if (shape[i] != 'd' && shape[i] != text[i]) return std::nullopt;
  }
  const int year = Digits(text, 0, 4);
  const int month = Digits(text, 5, 2);
  const int day = Digits(text, 8, 2);
  const int hour = Digits(text, 11, 2);
  const int minute = Digits(text, 14, 2);
  const int second = shape == kSecondShape ? Digits(text, 17, 2) : 0;
  if (year < kEarliestYear || year > kLatestYear || hour < 0 || hour > 23 || minute < 0 ||
      minute > 59 || second < 0 || second > 59) {
    return std::nullopt;
  }
  const year_month_day date{std::chrono::year{year}, std::chrono::month(month),
                            std::chrono::day(day)};
  if (!date.ok()) return std::nullopt;
  return UtcTime{sys_days{date}.time_since_epoch().count() * kSecondsPerDay + hour * 3600 +
                 minute * kSecondsPerMinute + second};
}

UtcTime NearestMinute(UtcTime time) {
  return {FloorDiv(time.seconds + kSecondsPerMinute / 2, kSecondsPerMinute) * kSecondsPerMinute};
}

UtcTime StartOfUtcDay(UtcTime time) {
  return {FloorDiv(time.seconds, kSecondsPerDay) * kSecondsPerDay};
}

std::string UtcClockText(UtcTime time) {
  const std::int64_t minutes = (time.seconds - StartOfUtcDay(time).seconds) / kSecondsPerMinute;
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", static_cast<int>(minutes / 60),
                static_cast<int>(minutes % 60));
  return text;
}

std::string UtcMinuteText(UtcTime time) {
  const year_month_day date{sys_days{days{FloorDiv(time.seconds, kSecondsPerDay)}}};
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text + UtcClockText(time) + "Z";
}

}  // namespace globeview
