#pragma once

#include <cstdint>
#include <vector>

#include "data/field_value.h"

namespace globeview {

// Entries in the coastline table, numbered 1 to kPointCount.
inline constexpr int kPointCount = 61656;

// The coastline: parallel arrays of kPointCount + 1 entries, entry 0 unused, allocated once at full
// size. The source fields are set when the coastline is loaded and never change; every drawing
// recomputes the derived fields of every valid point from them.
struct PointTable {
  PointTable();

  // As read from the file: longitude and latitude in degrees, or the marker "NA".
  std::vector<FieldValue> srcLon, srcLat;

  // Decided at load time from the source fields, so the passes need not look at texts:
  // valid: neither source field is the text "NA" (a coastline joins only valid neighbours);
  // usable: valid and both fields stand for numbers (lonDeg, latDeg hold them). A valid entry that
  // is not usable (an empty field, stray text) is never projected and never joined to a neighbour.
  std::vector<std::uint8_t> valid, usable;
  std::vector<double> lonDeg, latDeg;

  // Derived by the projection; all start at 0.
  std::vector<double> lonRad, latRad, az, el, x, y, z, xr, yr, zr;
  // Screen position in twips, for every entry.
  std::vector<double> sx, sy;

  bool IsValid(int i) const { return valid[i] != 0; }
  bool IsUsable(int i) const { return usable[i] != 0; }
};

}  // namespace globeview
