#pragma once

#include <optional>

#include "data/point_table.h"
#include "system/angles.h"
#include "view/picture.h"

namespace globeview {

// The azimuthal equidistant projection as the program draws it, forward and inverse. A place is
// turned in longitude and tilted so that the view centre comes to the pole of a working sphere;
// its azimuth az (0..2pi) and elevation el (-pi/2..pi/2) there give its screen position at
// r = H (pi/2 - el) / pi x c1/2 from the middle, sx = r sin(az) + W/2, sy = r cos(az) + H/2
// (W x H the screen in twips, c1 the magnification).

// The steps of one point, which the vector loops fall back on.

// The turn in longitude and the tilt, the same for every point of one projection.
struct ProjectionFrame {
  double turn;
  double cosTilt;
  double sinTilt;
};
ProjectionFrame MakeProjectionFrame(Place centre);

// The screen: half the magnification, the height and the middle, in twips.
struct ScreenFrame {
  double halfMagnification;
  double height;
  double middleX;
  double middleY;
};
ScreenFrame MakeScreenFrame(const PictureView& view);

// Every field the projection gives one point.
struct ProjectedPoint {
  double lonRad, latRad, x, y, z, xr, yr, zr, az, el;
};
ProjectedPoint ProjectPoint(double lonDeg, double latDeg, const ProjectionFrame& frame);
ScreenPosition PlacePoint(double az, double el, const ScreenFrame& screen);

// A place as a point of the unit sphere (x towards longitude 0 on the equator, z to the north
// pole), worked out once for the many points of a line that is drawn in every picture.
struct EarthVector {
  double x = 0;
  double y = 0;
  double z = 0;
};
EarthVector EarthVectorOf(Place place);

// One picture's projection, made once from its view: every "where on the screen is this place"
// and "what place is here" of a drawing, a layer or a readout goes through it, so that all of them
// agree with the coastline's table to the last bit.
class Projector {
 public:
  explicit Projector(const PictureView& view);

  const PictureView& View() const { return view_; }
  // The middle of the screen, where the view centre is drawn.
  ScreenPosition Middle() const { return {screen_.middleX, screen_.middleY}; }
  // The radius, twips, of the ring of places `degrees` of arc from the centre: H x degrees/180 x
  // c1/2, so the 180-degree ring (the antipode) is H/2 across at magnification 1.
  double RingRadius(double degrees) const;
  // Where the picture draws a place, by the table's formulas (see ScreenPositionOf).
  ScreenPosition PositionOf(Place place) const;
  // The same from the place's vector, with a single arctangent a point: within a thousandth of a
  // twip of PositionOf, apart from places within a hair of the centre or the antipode.
  ScreenPosition PositionOfVector(const EarthVector& place) const;
  // The place drawn at a screen position (see PlaceAt); nothing beyond the 180-degree ring.
  std::optional<Place> PlaceAt(ScreenPosition point) const;
  // The table's az and el about the centre, then its screen positions.
  void Project(PointTable& table) const;
  // The table's screen positions alone, from the az and el it holds.
  void PlaceTable(PointTable& table) const;

 private:
  PictureView view_;
  ProjectionFrame frame_;
  ScreenFrame screen_;
  double cosTurn_;
  double sinTurn_;
};

// Every usable entry of the table about the centre: lonRad to zr, az and el. Touches no other
// entry; never stores a NaN.
void Project(PointTable& table, Place centre);

// The screen positions of every entry from its az and el.
void ComputeScreenPositions(PointTable& table, const PictureView& view);

// Where the picture draws one place, by the same formulas (in the C library's arithmetic, which
// the table's positions match to about 1e-9 twips). A longitude many turns out is first brought
// back exactly, in degrees.
ScreenPosition ScreenPositionOf(const PictureView& view, Place place);

// The inverse: the place the picture draws at a screen position, longitude in -180..180; nothing
// beyond the 180-degree ring. The middle is the view centre and the ring itself its antipode.
std::optional<Place> PlaceAt(const PictureView& view, ScreenPosition point);

// The view centre as the picture shows it, longitude in -180..180. A latitude beyond a pole (typed
// while a drawing handled its waiting events, and drawn as it stood) puts it over that pole.
Place DrawnCentre(const PictureView& view);

}  // namespace globeview
