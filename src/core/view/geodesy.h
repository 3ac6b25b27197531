#pragma once

#include <numbers>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "view/picture.h"
#include "view/projection.h"

namespace globeview {

// The radius of the sphere on which distances are measured, kilometres.
inline constexpr double kEarthRadiusKm = 6371.0;
// The length of a whole great circle on that sphere, kilometres: 40,030.
inline constexpr double kGreatCircleKm = 2 * std::numbers::pi * kEarthRadiusKm;

// Direction and distance of a place from the view centre along the great circle.
struct Heading {
  double bearing = 0;  // degrees clockwise from north, 0 to under 360
  double distanceKm = 0;
};

// On a sphere of kEarthRadiusKm; the bearing is 0 at the centre and at its antipode, where every
// direction leads there. The place's longitude is brought into -180..180 exactly before anything
// is subtracted from it, so a place given many turns out is measured where it is drawn.
Heading HeadingFromCentre(const PictureView& view, Place place);

// The long path to a place: the same great circle as the short one, left the other way round (the
// short bearing plus 180 degrees, 0 to under 360), kGreatCircleKm less the short distance. At the
// centre, whose short bearing is 0, it is the whole circle, leaving due south; at the antipode it
// is the other half of the circle, due south, as long as the short one.
Heading LongPathOf(Heading shortPath);

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

}  // namespace globeview
