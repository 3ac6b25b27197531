#include "view/geodesy.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

#include "system/angles.h"

namespace globeview {

namespace {

// The sphere's geometry (bearing and distance) is measured with the true pi.
constexpr double kTruePi = std::numbers::pi;
constexpr double kTrueRadiansPerDegree = kTruePi / kDegreesPerHalfTurn;

// A place nearer than this (radians) to the centre or its antipode has no direction of its own.
constexpr double kNoDirection = 1e-12;

constexpr int kReadoutAngleDecimals = 2;
constexpr int kReadoutBearingDecimals = 1;
constexpr int kCsvAngleDecimals = 6;
constexpr int kCsvBearingDecimals = 4;
constexpr int kCsvDistanceDecimals = 3;
constexpr int kCsvPixelDecimals = 3;

// A longitude brought into -180..180, exactly: a remainder in degrees loses nothing.
double ReducedLongitude(double lon) {
  return std::remainder(lon, kDegreesPerTurn);
}

// Fixed decimals with a period whatever the locale, and no sign on a value that shows as zero.
std::string Fixed(double value, int decimals) {
  char buffer[400];  // the longest double in fixed notation has 309 digits before the point
  const auto end =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals).ptr;
  std::string text(buffer, end);
  if (text.starts_with('-') && text.find_first_not_of("0.", 1) == std::string::npos) {
    text.erase(0, 1);
  }
  return text;
}

// A bearing just short of a full turn rounds up to it; that direction is north, 0.
std::string BearingText(double bearing, int decimals) {
  std::string text = Fixed(bearing, decimals);
  if (text.starts_with("360")) text = Fixed(0, decimals);
  return text;
}

// Whole kilometres, thousands separated by commas: "10,849".
std::string Kilometres(double distanceKm) {
  const std::string digits = std::to_string(std::llround(distanceKm));
  std::string text;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  return text;
}

void AppendCsvRow(std::string& csv, const std::optional<Place>& place, const Heading& heading,
                  double x, double y) {
  if (place) {
    csv += Fixed(ReducedLongitude(place->lon), kCsvAngleDecimals);
    csv += ',';
    csv += Fixed(place->lat, kCsvAngleDecimals);
    csv += ',';
    csv += BearingText(heading.bearing, kCsvBearingDecimals);
    csv += ',';
    csv += Fixed(heading.distanceKm, kCsvDistanceDecimals);
  } else {
    csv += "NA,NA,NA,NA";
  }
  csv += ',';
  csv += Fixed(x, kCsvPixelDecimals);
  csv += ',';
  csv += Fixed(y, kCsvPixelDecimals);
  csv += '\n';
}

}  // namespace

Heading HeadingFromCentre(const PictureView& view, Place place) {
  const Place centre = DrawnCentre(view);
  const double phi1 = centre.lat * kTrueRadiansPerDegree;
  const double phi2 = place.lat * kTrueRadiansPerDegree;
  // Both longitudes are reduced before the difference: 1e17 minus the centre would lose the
  // place's own degrees. The remainders are exact, so the centre's own longitude written either
  // way gives exactly 0.
  const double dLambda =
      ReducedLongitude(ReducedLongitude(place.lon) - centre.lon) * kTrueRadiansPerDegree;
  const double east = std::cos(phi2) * std::sin(dLambda);
  const double north =
      std::cos(phi1) * std::sin(phi2) - std::sin(phi1) * std::cos(phi2) * std::cos(dLambda);
  const double along =
      std::sin(phi1) * std::sin(phi2) + std::cos(phi1) * std::cos(phi2) * std::cos(dLambda);
  const double across = std::hypot(east, north);

  Heading heading;
  heading.distanceKm = std::atan2(across, along) * kEarthRadiusKm;
  if (across >= kNoDirection) {
    double bearing = std::atan2(east, north) / kTrueRadiansPerDegree;
    if (bearing < 0) bearing += kDegreesPerTurn;
    // A direction a rounding step west of north comes out as a full turn.
    heading.bearing = bearing < kDegreesPerTurn ? bearing : 0.0;
  }
  return heading;
}

std::string ReadoutText(Place place, Heading heading) {
  std::string text = "経度 ";
  text += Fixed(ReducedLongitude(place.lon), kReadoutAngleDecimals);
  text += "  緯度 ";
  text += Fixed(place.lat, kReadoutAngleDecimals);
  text += "  方位 ";
  text += BearingText(heading.bearing, kReadoutBearingDecimals);
  text += "°  距離 ";
  text += Kilometres(heading.distanceKm);
  text += " km";
  return text;
}

std::optional<std::string> ReadoutAt(const PictureView& view, ScreenPosition point) {
  const std::optional<Place> place = PlaceAt(view, point);
  if (!place) return std::nullopt;
  return ReadoutText(*place, HeadingFromCentre(view, *place));
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

}  // namespace globeview
