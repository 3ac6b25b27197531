#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "system/utc_time.h"
#include "view/picture.h"

namespace globeview::render {

// --days: how many days --greyline-windows looks ahead when not told.
inline constexpr int kDefaultGreylineDays = 7;
inline constexpr int kMostGreylineDays = 366;

// The value of --days: plain decimal digits, 1 to kMostGreylineDays.
std::optional<int> ParseDays(std::string_view text);

// The lines of --greyline-windows: one for each time within `days` days from `from` that the
// centre and the target share the grey line, its start, end and length in minutes, each time to
// the nearest minute and the length their difference: "2026-12-21T07:58Z 2026-12-21T08:31Z 33".
// Times shorter than a minute are left out.
std::string GreylineWindowLines(Place centre, Place target, UtcTime from, int days);

}  // namespace globeview::render
