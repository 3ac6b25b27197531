#include "data/point_table.h"

namespace globeview {

namespace {
constexpr std::size_t kEntries = kPointCount + 1;  // entry 0 is never used
}  // namespace

PointTable::PointTable()
    : srcLon(kEntries),
      srcLat(kEntries),
      valid(kEntries, 0),
      usable(kEntries, 0),
      lonDeg(kEntries, 0.0),
      latDeg(kEntries, 0.0),
      lonRad(kEntries, 0.0),
      latRad(kEntries, 0.0),
      az(kEntries, 0.0),
      el(kEntries, 0.0),
      x(kEntries, 0.0),
      y(kEntries, 0.0),
      z(kEntries, 0.0),
      xr(kEntries, 0.0),
      yr(kEntries, 0.0),
      zr(kEntries, 0.0),
      sx(kEntries, 0.0),
      sy(kEntries, 0.0) {}

}  // namespace globeview
