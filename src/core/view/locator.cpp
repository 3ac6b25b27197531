#include "view/locator.h"

#include <algorithm>
#include <cmath>

#include "system/angles.h"

namespace globeview {

namespace {

constexpr double kHalfTurn = kDegreesPerHalfTurn;
constexpr double kQuarterTurn = kPoleLatitude;

// One pair of the locator: how many parts it cuts the square before it into, and the character of
// part 0.
struct Division {
  int parts;
  char first;
};
constexpr Division kDivisions[] = {{18, 'A'}, {10, '0'}, {24, 'a'}, {10, '0'}};
// A division's letters in the other case, which a typed locator may use.
constexpr char kOtherCase[] = {'a', '0', 'A', '0'};

// Size of a field in degrees, longitude and latitude.
constexpr double kFieldLon = kDegreesPerTurn / 18;
constexpr double kFieldLat = kHalfTurn / 18;
// Subsquares (the last of the six characters) per degree: 24 per 2 degrees, 24 per degree.
constexpr int kSubsquaresPerDegreeLon = 12;
constexpr int kSubsquaresPerDegreeLat = 24;
constexpr int kSubsquaresPerFieldLon = static_cast<int>(kFieldLon) * kSubsquaresPerDegreeLon;
constexpr int kSubsquaresPerFieldLat = static_cast<int>(kFieldLat) * kSubsquaresPerDegreeLat;
constexpr int kSubsquaresPerSquare = 24;

// The index of the subsquare along one axis: whole subsquares from the start, the far edge kept
// in the last one.
int SubsquareIndex(double fromStart, int perDegree, double span) {
  const double index = std::floor(fromStart * perDegree);
  return static_cast<int>(std::clamp(index, 0.0, span * perDegree - 1));
}

// The three characters of one axis (field, square, subsquare) into places 0, 2, 4 or 1, 3, 5.
void PutAxis(std::string& text, int at, int subsquare, int perField) {
  text[at] = static_cast<char>('A' + subsquare / perField);
  text[at + 2] = static_cast<char>('0' + subsquare / kSubsquaresPerSquare % 10);
  text[at + 4] = static_cast<char>('a' + subsquare % kSubsquaresPerSquare);
}

// The part a character names in division d, or -1.
int PartOf(char c, int d) {
  for (const char first : {kDivisions[d].first, kOtherCase[d]}) {
    const int part = c - first;
    if (part >= 0 && part < kDivisions[d].parts) return part;
  }
  return -1;
}

}  // namespace

std::string LocatorOf(Place place) {
  if (!std::isfinite(place.lon) || !std::isfinite(place.lat)) return {};
  const double lon = std::remainder(place.lon, kDegreesPerTurn);
  const double lat = std::clamp(place.lat, -kQuarterTurn, kQuarterTurn);
  std::string text(6, ' ');
  PutAxis(text, 0, SubsquareIndex(lon + kHalfTurn, kSubsquaresPerDegreeLon, kDegreesPerTurn),
          kSubsquaresPerFieldLon);
  PutAxis(text, 1, SubsquareIndex(lat + kQuarterTurn, kSubsquaresPerDegreeLat, kHalfTurn),
          kSubsquaresPerFieldLat);
  return text;
}

std::optional<Place> PlaceOfLocator(std::string_view text) {
  if (text.size() != 4 && text.size() != 6 && text.size() != 8) return std::nullopt;
  double lon = -kHalfTurn;
  double lat = -kQuarterTurn;
  double sizeLon = kFieldLon;
  double sizeLat = kFieldLat;
  for (std::size_t pair = 0; pair < text.size() / 2; ++pair) {
    const int d = static_cast<int>(pair);
    if (pair > 0) {
      sizeLon /= kDivisions[d].parts;
      sizeLat /= kDivisions[d].parts;
    }
    const int partLon = PartOf(text[2 * pair], d);
    const int partLat = PartOf(text[2 * pair + 1], d);
    if (partLon < 0 || partLat < 0) return std::nullopt;
    lon += partLon * sizeLon;
    lat += partLat * sizeLat;
  }
  return Place{lon + sizeLon / 2, lat + sizeLat / 2};
}

}  // namespace globeview
