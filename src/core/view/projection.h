#pragma once

#include <string>
#include <vector>

#include "data/point_table.h"
#include "system/numeric.h"

namespace globeview {

// The four passes of the azimuthal equidistant projection over every usable entry: degrees to
// radians, working copies, turn in longitude, tilt and angles. Leaves az in 0..2pi and el in
// -pi/2..pi/2 about the view centre (a1, b1 in degrees, already normalised); never a NaN. Stores
// lonRad to zr of every usable entry and touches no other entry.
void Project(PointTable& table, double a1, double b1);

// Screen positions in twips of every entry from az, el, the magnification c1 and the screen size
// W x H in twips: r = H (pi/2 - el) / pi x c1/2, sx = r sin(az) + W/2, sy = r cos(az) + H/2.
void ComputeScreenPositions(PointTable& table, double c1, double width, double height);

// A position on the screen in twips.
struct ScreenPosition {
  double x = 0;
  double y = 0;
};

// Where one place (longitude, latitude in degrees) is drawn, by the formulas of the two functions
// above (in the C library's arithmetic, which the table's positions match to about 1e-9 twips).
ScreenPosition PositionOf(double lonDeg, double latDeg, double a1, double b1, double c1,
                          double width, double height);

// The instruction set the two functions above run on, chosen for this processor at the first call
// ("AVX3" for AVX-512, "AVX2", "SSE4", "SCALAR").
const char* ProjectionTarget();

// The instruction sets built in that this processor has, best first.
std::vector<std::string> ProjectionTargets();
// Makes the two functions run on the named one of those (empty: the best again), so each can be
// checked; false when this processor cannot run it.
bool UseProjectionTarget(const std::string& name);

}  // namespace globeview
