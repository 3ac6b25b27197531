#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "data/field_value.h"
#include "system/pages.h"

namespace globeview {

// Entries in the coastline table, numbered 1 to kPointCount.
inline constexpr int kPointCount = 61656;
// The length of each of the table's fields: entry 0 is never used.
inline constexpr std::size_t kTableEntries = kPointCount + 1;

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

  bool IsValid(int i) const { return valid_[i] != 0; }
  bool IsUsable(int i) const { return usable_[i] != 0; }

  // The fields, kTableEntries each, entry 0 first and unused.
  std::span<const std::uint8_t> Valid() const { return {valid_, kTableEntries}; }
  std::span<const std::uint8_t> Usable() const { return {usable_, kTableEntries}; }
  // The source numbers in degrees: the number of a field that holds one, the number a text reads
  // as, else 0.
  std::span<const double> LonDeg() const { return {lonDeg_, kTableEntries}; }
  std::span<const double> LatDeg() const { return {latDeg_, kTableEntries}; }
  // Derived by the projection; all start at 0.
  std::span<const double> LonRad() const { return {derived_[0], kTableEntries}; }
  std::span<const double> LatRad() const { return {derived_[1], kTableEntries}; }
  std::span<const double> Az() const { return {derived_[2], kTableEntries}; }
  std::span<const double> El() const { return {derived_[3], kTableEntries}; }
  std::span<const double> X() const { return {derived_[4], kTableEntries}; }
  std::span<const double> Y() const { return {derived_[5], kTableEntries}; }
  std::span<const double> Z() const { return {derived_[6], kTableEntries}; }
  std::span<const double> Xr() const { return {derived_[7], kTableEntries}; }
  std::span<const double> Yr() const { return {derived_[8], kTableEntries}; }
  std::span<const double> Zr() const { return {derived_[9], kTableEntries}; }
  // Screen position in twips, for every entry.
  std::span<const double> Sx() const { return {derived_[10], kTableEntries}; }
  std::span<const double> Sy() const { return {derived_[11], kTableEntries}; }

  // The derived fields to write: by the projection, and by a test that sets an angle by hand.
  struct DerivedFields {
    std::span<double> lonRad, latRad, az, el, x, y, z, xr, yr, zr, sx, sy;
  };
  DerivedFields Derived();

 private:
  enum Kind : std::uint8_t { kNumber = 0, kMarker = 1, kText = 2 };
  FieldValue Source(int i, const std::uint8_t* kinds, const double* numbers, int side) const;
  void Store(int i, FieldValue value, std::uint8_t* kinds, double* numbers, int side);

  static constexpr int kDerivedCount = 12;

  PageBlock block_;
  std::uint8_t* valid_;
  std::uint8_t* usable_;
  // Numbers kept compactly: a text that is not "NA" is held aside; most fields are plain numbers.
  double* lonDeg_;
  double* latDeg_;
  // lonRad, latRad, az, el, x, y, z, xr, yr, zr, sx, sy, in that order.
  double* derived_[kDerivedCount];
  std::uint8_t* lonKind_;
  std::uint8_t* latKind_;
  // The texts other than "NA", by entry and side (0 longitude, 1 latitude), in the order read.
  std::vector<std::pair<int, std::string>> texts_;
};

}  // namespace globeview
