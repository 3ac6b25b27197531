#include "render/greyline.h"

#include "view/sun.h"

namespace globeview::render {

std::optional<int> ParseDays(std::string_view text) {
  if (text.empty() || text.size() > 3) return std::nullopt;
  int days = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    days = days * 10 + (c - '0');
  }
  if (days < 1 || days > kMostGreylineDays) return std::nullopt;
  return days;
}

std::string GreylineWindowLines(Place centre, Place target, UtcTime from, int days) {
  std::string lines;
  for (const TimeWindow& window : SharedGreylineWindows(centre, target, from, days)) {
    // A few seconds where one place's grey line barely touches the other's are no use to anyone.
    if (window.end.seconds - window.start.seconds < kSecondsPerMinute) continue;
    const UtcTime start = NearestMinute(window.start);
    const UtcTime end = NearestMinute(window.end);
    lines += UtcMinuteText(start) + ' ' + UtcMinuteText(end) + ' ' +
             std::to_string((end.seconds - start.seconds) / kSecondsPerMinute) + '\n';
  }
  return lines;
}

}  // namespace globeview::render
