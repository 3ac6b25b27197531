#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "data/field_value.h"
#include "system/pages.h"

namespace globeview {

// Entries in the coastline table, numbered 1 to kPointCount.
inline constexpr int kPointCount = 61656;

// The coastline: parallel arrays of kPointCount + 1 entries, entry 0 unused, allocated once at full
// size in one block. The source fields are set when the coastline is loaded and never change; every
// drawing recomputes the derived fields of every usable point from them.
class PointTable {
 public:
  PointTable();
  ~PointTable();
  PointTable(PointTable&& other) noexcept;
  PointTable(const PointTable&) = delete;
  PointTable& operator=(const PointTable&) = delete;
  PointTable& operator=(PointTable&&) = delete;

  // Sets entry i's source fields as read from the file, and decides from them:
  // valid: neither field is the text "NA" (a coastline joins only valid neighbours);
  // usable: valid, and both fields stand for numbers small enough to turn into radians (lonDeg,
  // latDeg hold them). A valid entry that is not usable (an empty field, stray text, 1e308) is
  // never projected and never joined to a neighbour.
  void SetSource(int i, FieldValue lon, FieldValue lat);
  // The same for an entry of two numbers, the usual case, without building FieldValues.
  void SetNumbers(int i, double lon, double lat);
  // The source fields as read: longitude and latitude in degrees, or the marker "NA", or a text.
  FieldValue SrcLon(int i) const;
  FieldValue SrcLat(int i) const;

  bool IsValid(int i) const { return valid[i] != 0; }
  bool IsUsable(int i) const { return usable[i] != 0; }

  // Numbers kept compactly: a text that is not "NA" is held aside; most fields are plain numbers.
  std::uint8_t* valid;
  std::uint8_t* usable;
  double* lonDeg;
  double* latDeg;
  // Derived by the projection; all start at 0.
  double *lonRad, *latRad, *az, *el, *x, *y, *z, *xr, *yr, *zr;
  // Screen position in twips, for every entry.
  double *sx, *sy;

 private:
  enum Kind : std::uint8_t { kNumber = 0, kMarker = 1, kText = 2 };
  FieldValue Source(int i, const std::uint8_t* kinds, const double* numbers, int side) const;
  void Store(int i, FieldValue value, std::uint8_t* kinds, double* numbers, int side);

  PageBlock block_;
  std::uint8_t* lonKind_;
  std::uint8_t* latKind_;
  // The texts other than "NA", by entry and side (0 longitude, 1 latitude), in the order read.
  std::vector<std::pair<int, std::string>> texts_;
};

}  // namespace globeview
