#pragma once

// The readouts as people and programs read them: the window's lines for the place under the
// pointer and for the target, and globeview-render's CSV, made from the geodesy's numbers.

#include <optional>
#include <span>
#include <string>
#include <variant>

#include "system/utc_time.h"
#include "view/geodesy.h"
#include "view/picture.h"
#include "view/projection.h"

namespace globeview {

// A bearing as the readouts give it, to a tenth of a degree: "25.1". One just short of a full
// turn rounds to north, "0.0".
std::string ReadoutBearing(double bearing);

// A distance as the readouts give it, whole kilometres with thousands separated by commas:
// "10,849".
std::string ReadoutKilometres(double distanceKm);

// The window's line for a place: "経度 -74.00  緯度 40.70  方位 25.1°  距離 10,849 km".
std::string ReadoutText(Place place, Heading heading);

// A screen position in pixels from the top left; pixel k's centre is k pixels from the edge.
struct PixelPoint {
  double x = 0;
  double y = 0;
};

// One question about the picture: where a place is (its pixel), or what lies at a pixel.
using Query = std::variant<Place, PixelPoint>;

inline constexpr const char* kQueryCsvHeader =
    "lon,lat,bearing,distance_km,x,y,long_bearing,long_distance_km,locator";

// The header line and one line per query, in order: the place, its bearing and distance from the
// view centre, its position in pixels of the view's twips per pixel, then the long path's bearing
// and distance and the place's six-character grid locator. A pixel off the earth's disc has NA
// for every column but x and y.
std::string QueryCsv(std::span<const Query> queries, const PictureView& view);

// One line of that CSV, newline included, appended to `csv`: for answering queries as they arrive.
void AppendQueryRow(std::string& csv, const Query& query, const PictureView& view);

// The line for a target, the pointer's readout of the place with its long path and its locator:
// "目標 経度 -74.00  緯度 40.70  方位 25.1°  距離 10,849 km  長経路 205.1°  29,181 km  FN30aq".
std::string TargetReadoutText(Place target, Heading shortPath);

// The same line with the target's sunrise and sunset of the UTC day `day` falls in appended after
// two spaces (see SunriseSunsetText): "...  FN30aq  日の出 05:12 日の入 16:40 UTC".
std::string TargetReadoutText(Place target, Heading shortPath, UtcTime day);

// The pointer's readout with the locator of its place appended: "経度 -73.99  緯度 40.75 方位 25.1°
// 距離 10,844 km  FN30as" (two spaces before the locator, as between the other groups).
std::string PointerReadoutText(Place place, Heading heading);

// The antenna's line: where it points, and while it turns, where to: "アンテナ 123.4°  → 210.0°".
std::string AntennaReadoutText(double heading, std::optional<double> turningTo);

// That line for the place under a screen position, or nothing off the earth's disc.
std::optional<std::string> PointerReadoutAt(const Projector& projector, ScreenPosition point);

}  // namespace globeview
