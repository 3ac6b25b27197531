#pragma once

#include <optional>
#include <span>
#include <string>
#include <variant>

#include "view/drawing.h"
#include "view/projection.h"

namespace globeview {

// The radius of the sphere on which distances are measured, kilometres.
inline constexpr double kEarthRadiusKm = 6371.0;

// A place on the earth in degrees: longitude east positive, latitude north positive (-90..90).
struct Place {
  double lon = 0;
  double lat = 0;
};

// What a picture was drawn with: the normalised view values (a1 in 0..360 and b1 in -90..90
// degrees, c1 in 1..10) and the screen size in twips.
struct PictureView {
  double a1 = 0;
  double b1 = 0;
  double c1 = 1;
  ScreenSize screen;
};

// Direction and distance of a place from the view centre along the great circle.
struct Heading {
  double bearing = 0;  // degrees clockwise from north, 0 to under 360
  double distanceKm = 0;
};

// Where the picture draws a place: the projection and the screen formula for this one point.
ScreenPosition ScreenPositionOf(const PictureView& view, Place place);

// The place the picture draws at a screen position, longitude in -180..180; nothing beyond the
// 180-degree ring. The middle is the view centre and the ring itself its antipode.
std::optional<Place> PlaceAt(const PictureView& view, ScreenPosition point);

// On a sphere of kEarthRadiusKm; the bearing is 0 at the centre and at its antipode, where every
// direction leads there.
Heading HeadingFromCentre(const PictureView& view, Place place);

// The window's line for a place: "経度 -74.00  緯度 40.70  方位 25.1°  距離 10,849 km".
std::string ReadoutText(Place place, Heading heading);

// The readout for the place under a screen position, or nothing off the earth's disc.
std::optional<std::string> ReadoutAt(const PictureView& view, ScreenPosition point);

// A screen position in pixels from the top left; pixel k's centre is k pixels from the edge.
struct PixelPoint {
  double x = 0;
  double y = 0;
};

// One question about the picture: where a place is (its pixel), or what lies at a pixel.
using Query = std::variant<Place, PixelPoint>;

inline constexpr const char* kQueryCsvHeader = "lon,lat,bearing,distance_km,x,y";

// The header line and one line per query, in order: the place, its bearing and distance from the
// view centre, and its position in pixels of twipsPerPixel twips. A pixel off the earth's disc has
// NA for the first four columns.
std::string QueryCsv(std::span<const Query> queries, const PictureView& view, double twipsPerPixel);

// One line of that CSV, newline included, appended to `csv`: for answering queries as they arrive.
void AppendQueryRow(std::string& csv, const Query& query, const PictureView& view,
                    double twipsPerPixel);

}  // namespace globeview
