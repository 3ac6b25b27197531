#pragma once

#include "system/angles.h"
#include "view/picture.h"
#include "view/projection.h"

namespace globeview {

// The radius of the sphere on which distances are measured, kilometres.
inline constexpr double kEarthRadiusKm = 6371.0;
// The length of a whole great circle on that sphere, kilometres: 40,030.
inline constexpr double kGreatCircleKm = 2 * kTruePi * kEarthRadiusKm;

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

// A longitude brought into -180..180, exactly: a remainder in degrees loses nothing.
double ReducedLongitude(double lon);

}  // namespace globeview
