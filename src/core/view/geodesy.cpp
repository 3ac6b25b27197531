#include "view/geodesy.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

#include "system/numeric.h"

namespace globeview {

namespace {

// The projection's own angles, in its pi.
constexpr double kTwoPi = 2 * kPi;
constexpr double kHalfPi = kPi / 2;
constexpr double kDegreesPerHalfTurn = 180.0;
constexpr double kDegreesPerTurn = 360.0;
constexpr double kPoleLatitude = 90.0;

// The sphere's geometry (bearing and distance) is measured with the true pi.
constexpr double kTruePi = std::numbers::pi;
constexpr double kTrueRadiansPerDegree = kTruePi / kDegreesPerHalfTurn;
// How far the program's pi falls short of the true one.
constexpr double kPiShortfall = kTruePi - kPi;

// A place nearer than this (radians) to the centre or its antipode has no direction of its own.
constexpr double kNoDirection = 1e-12;

constexpr int kReadoutAngleDecimals = 2;
constexpr int kReadoutBearingDecimals = 1;
constexpr int kCsvAngleDecimals = 6;
constexpr int kCsvBearingDecimals = 4;
constexpr int kCsvDistanceDecimals = 3;
constexpr int kCsvPixelDecimals = 3;

double ToDegrees(double radians) {
  return radians * kDegreesPerHalfTurn / kPi;
}

// The turn in longitude and the tilt that bring the view centre to the pole of the working sphere.
struct Frame {
  explicit Frame(const PictureView& view)
      : turn(((kDegreesPerTurn - view.a1) / kDegreesPerHalfTurn) * kPi),
        cosTilt(std::cos(((kPoleLatitude - view.b1) / kDegreesPerHalfTurn) * kPi)),
        sinTilt(std::sin(((kPoleLatitude - view.b1) / kDegreesPerHalfTurn) * kPi)) {}
  double turn;
  double cosTilt;
  double sinTilt;
};

// The direction on the working sphere that the projection draws at `screenAngle` (atan2(dx, dy)).
// On the left half it adds its own pi to the arctangent, and where the arctangent is negative on
// the right it adds two: the drawn angle falls short of the true direction by that shortfall,
// which is given back here so that a place's pixel leads back to the place.
double WorkingDirection(double screenAngle) {
  if (std::fabs(screenAngle) > kTruePi / 2) return screenAngle + kPiShortfall;
  if (screenAngle < 0) return screenAngle + 2 * kPiShortfall;
  return screenAngle;
}

// The view centre as a place. A latitude beyond a pole (typed while a drawing handled its waiting
// events, and drawn as it stood) puts the centre over that pole.
Place CentreOf(const PictureView& view) {
  double lat = std::remainder(view.b1, kDegreesPerTurn);
  double lon = view.a1;
  if (lat > kPoleLatitude || lat < -kPoleLatitude) {
    lat = std::copysign(kDegreesPerHalfTurn, lat) - lat;
    lon += kDegreesPerHalfTurn;
  }
  return {std::remainder(lon, kDegreesPerTurn), lat};
}

Place AntipodeOf(Place place) {
  return {std::remainder(place.lon + kDegreesPerHalfTurn, kDegreesPerTurn), -place.lat};
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
    csv += Fixed(std::remainder(place->lon, kDegreesPerTurn), kCsvAngleDecimals);
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

ScreenPosition ScreenPositionOf(const PictureView& view, Place place) {
  // A longitude given many turns out is the same place; taken off in degrees, exactly, before
  // radians would lose it.
  return PositionOf(std::remainder(place.lon, kDegreesPerTurn), place.lat, view.a1, view.b1,
                    view.c1, view.screen.width, view.screen.height);
}

std::optional<Place> PlaceAt(const PictureView& view, ScreenPosition point) {
  const double w = view.screen.width;
  const double h = view.screen.height;
  const double s = view.c1 * (1.0 / 2);
  const double dx = point.x - w / 2;
  const double dy = point.y - h / 2;
  const double r = std::hypot(dx, dy);
  const double ringRadius = h * s;
  if (!(r <= ringRadius)) return std::nullopt;
  // The projection draws every place within its pi's shortfall of the antipode on the ring, in a
  // direction that rounding decides; the ring stands for the antipode itself.
  if (r == ringRadius) return AntipodeOf(CentreOf(view));

  const double el = kHalfPi - (r / s) * kPi / h;
  const double direction = WorkingDirection(std::atan2(dx, dy));
  const double cosEl = std::cos(el);
  const double xr = std::cos(direction) * cosEl;
  const double yr = std::sin(direction) * cosEl;
  const double zr = std::sin(el);

  const Frame frame(view);
  const double x = xr * frame.cosTilt + zr * frame.sinTilt;
  const double y = yr;
  const double z = zr * frame.cosTilt - xr * frame.sinTilt;

  // Back through the turn as the projection made it: a sum past the program's full turn had one
  // such turn taken off.
  double turned = std::atan2(y, x);
  if (turned < 0) turned += 2 * kTruePi;
  double lonRad = turned - frame.turn;
  if (lonRad < 0) lonRad += kTwoPi;
  const double lon = std::remainder(ToDegrees(lonRad), kDegreesPerTurn);
  // Within the shortfall of a pole the true latitude is a hair past the program's 90 degrees.
  const double lat =
      std::clamp(ToDegrees(std::atan2(z, std::hypot(x, y))), -kPoleLatitude, kPoleLatitude);
  return Place{lon, lat};
}

Heading HeadingFromCentre(const PictureView& view, Place place) {
  const Place centre = CentreOf(view);
  const double phi1 = centre.lat * kTrueRadiansPerDegree;
  const double phi2 = place.lat * kTrueRadiansPerDegree;
  // The remainder is exact, so the centre's own longitude written either way gives exactly 0.
  const double dLambda =
      std::remainder(place.lon - centre.lon, kDegreesPerTurn) * kTrueRadiansPerDegree;
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
  text += Fixed(std::remainder(place.lon, kDegreesPerTurn), kReadoutAngleDecimals);
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

void AppendQueryRow(std::string& csv, const Query& query, const PictureView& view,
                    double twipsPerPixel) {
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

std::string QueryCsv(std::span<const Query> queries, const PictureView& view,
                     double twipsPerPixel) {
  std::string csv = kQueryCsvHeader;
  csv += '\n';
  for (const Query& query : queries) AppendQueryRow(csv, query, view, twipsPerPixel);
  return csv;
}

}  // namespace globeview
