#include "view/readout.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "view/locator.h"
#include "view/projection.h"
#include "view/sun.h"

namespace globeview {

namespace {

constexpr int kReadoutAngleDecimals = 2;
constexpr int kReadoutBearingDecimals = 1;
constexpr int kCsvAngleDecimals = 6;
constexpr int kCsvBearingDecimals = 4;
constexpr int kCsvDistanceDecimals = 3;
constexpr int kCsvPixelDecimals = 3;

// Fixed decimals with a period whatever the locale, and no sign on a value that shows as zero,
// appended to `text`: the CSV's rows are made of these, a million a second.
void AppendFixed(std::string& text, double value, int decimals) {
  char buffer[400];  // the longest double in fixed notation has 309 digits before the point
  const char* end =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals).ptr;
  const char* begin = buffer;
  if (*begin == '-' &&
      std::find_if(begin + 1, end, [](char c) { return c != '0' && c != '.'; }) == end) {
    ++begin;
  }
  text.append(begin, end);
}

std::string Fixed(double value, int decimals) {
  std::string text;
  AppendFixed(text, value, decimals);
  return text;
}

// A bearing just short of a full turn rounds up to it; that direction is north, 0.
void AppendBearing(std::string& text, double bearing, int decimals) {
  const std::size_t start = text.size();
  AppendFixed(text, bearing, decimals);
  if (text.compare(start, 3, "360") == 0) {
    text.resize(start);
    AppendFixed(text, 0, decimals);
  }
}

void AppendCsvRow(std::string& csv, const std::optional<Place>& place, const Heading& heading,
                  double x, double y) {
  if (place) {
    AppendFixed(csv, ReducedLongitude(place->lon), kCsvAngleDecimals);
    csv += ',';
    AppendFixed(csv, place->lat, kCsvAngleDecimals);
    csv += ',';
    AppendBearing(csv, heading.bearing, kCsvBearingDecimals);
    csv += ',';
    AppendFixed(csv, heading.distanceKm, kCsvDistanceDecimals);
  } else {
    csv += "NA,NA,NA,NA";
  }
  csv += ',';
  AppendFixed(csv, x, kCsvPixelDecimals);
  csv += ',';
  AppendFixed(csv, y, kCsvPixelDecimals);
  if (place) {
    const Heading longPath = LongPathOf(heading);
    csv += ',';
    AppendBearing(csv, longPath.bearing, kCsvBearingDecimals);
    csv += ',';
    AppendFixed(csv, longPath.distanceKm, kCsvDistanceDecimals);
    csv += ',';
    csv += LocatorOf(*place);
  } else {
    csv += ",NA,NA,NA";
  }
  csv += '\n';
}

}  // namespace

std::string AntennaReadoutText(double heading, std::optional<double> turningTo) {
  std::string text = "アンテナ " + ReadoutBearing(heading) + "°";
  if (turningTo) text += "  → " + ReadoutBearing(*turningTo) + "°";
  return text;
}

std::string ReadoutBearing(double bearing) {
  std::string text;
  AppendBearing(text, bearing, kReadoutBearingDecimals);
  return text;
}

std::string ReadoutKilometres(double distanceKm) {
  const std::string digits = std::to_string(std::llround(distanceKm));
  std::string text;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  return text;
}

std::string ReadoutText(Place place, Heading heading) {
  std::string text = "経度 ";
  text += Fixed(ReducedLongitude(place.lon), kReadoutAngleDecimals);
  text += "  緯度 ";
  text += Fixed(place.lat, kReadoutAngleDecimals);
  text += "  方位 ";
  text += ReadoutBearing(heading.bearing);
  text += "°  距離 ";
  text += ReadoutKilometres(heading.distanceKm);
  text += " km";
  return text;
}

void AppendQueryRow(std::string& csv, const Query& query, const PictureView& view) {
  const double twipsPerPixel = view.twipsPerPixel;
  if (const Place* place = std::get_if<Place>(&query)) {
    const ScreenPosition at = ScreenPositionOf(view, *place);
    AppendCsvRow(csv, *place, HeadingFromCentre(view, *place), at.x / twipsPerPixel,
                 at.y / twipsPerPixel);
    return;
  }
  const PixelPoint pixel = std::get<PixelPoint>(query);
  const std::optional<Place> place =
      PlaceAt(view, {pixel.x * twipsPerPixel, pixel.y * twipsPerPixel});
  const Heading heading = place ? HeadingFromCentre(view, *place) : Heading{};
  AppendCsvRow(csv, place, heading, pixel.x, pixel.y);
}

std::string QueryCsv(std::span<const Query> queries, const PictureView& view) {
  std::string csv = kQueryCsvHeader;
  csv += '\n';
  for (const Query& query : queries) AppendQueryRow(csv, query, view);
  return csv;
}

std::string TargetReadoutText(Place target, Heading shortPath) {
  const Heading longPath = LongPathOf(shortPath);
  std::string text = "目標 ";
  text += ReadoutText(target, shortPath);
  text += "  長経路 ";
  text += ReadoutBearing(longPath.bearing);
  text += "°  ";
  text += ReadoutKilometres(longPath.distanceKm);
  text += " km  ";
  text += LocatorOf(target);
  return text;
}

std::string TargetReadoutText(Place target, Heading shortPath, UtcTime day) {
  return TargetReadoutText(target, shortPath) + "  " +
         SunriseSunsetText(SunriseSunset(target, day));
}

std::string PointerReadoutText(Place place, Heading heading) {
  std::string text = ReadoutText(place, heading);
  text += "  ";
  text += LocatorOf(place);
  return text;
}

std::optional<std::string> PointerReadoutAt(const Projector& projector, ScreenPosition point) {
  const std::optional<Place> place = projector.PlaceAt(point);
  if (!place) return std::nullopt;
  return PointerReadoutText(*place, HeadingFromCentre(projector.View(), *place));
}

}  // namespace globeview
