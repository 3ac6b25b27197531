#pragma once

// Where to send a rotator so that its antenna points at a bearing: the antenna may be mounted
// turned on the mast, and a rotator turns through a range of its own, which need not be 0..360.

#include <optional>

namespace globeview {

// The azimuths a rotator can be sent to, degrees clockwise from its zero: 0..360, a south-stop
// rotator's -180..180, or 0..450 for one that turns on past north.
struct RotatorRange {
  double minAz = 0;
  double maxAz = 360;
};

// The azimuth to command so that an antenna mounted `offset` degrees clockwise from the rotator's
// zero points at `bearing`. Of the azimuths a whole number of turns apart that lie in the range,
// the nearest to the rotator's `current` azimuth (an overlap spares it a turn the long way), else
// the lowest; none when none lies in the range.
std::optional<double> RotatorCommand(double bearing, double offset, RotatorRange range,
                                     std::optional<double> current);

// Where the antenna points, 0 to under 360, when the rotator reports `azimuth`.
double AntennaBearing(double azimuth, double offset);

}  // namespace globeview
