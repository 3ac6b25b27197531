#include "data/point_table.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "system/numeric.h"

namespace globeview {

namespace {

constexpr std::size_t kEntries = kPointCount + 1;  // entry 0 is never used
constexpr std::size_t kDoubleArrays = 16;          // lonDeg, latDeg, 12 derived, sx, sy
constexpr std::size_t kByteArrays = 4;             // valid, usable, the two kinds
constexpr std::size_t kDoubleBytes = ((kEntries * sizeof(double) + 63) / 64) * 64;
constexpr std::size_t kByteBytes = ((kEntries + 63) / 64) * 64;
constexpr std::size_t kTableBytes = kDoubleArrays * kDoubleBytes + kByteArrays * kByteBytes;

// A value whose product with pi overflows has no direction: it cannot be turned into radians.
bool Projectable(double degrees) {
  return std::isfinite(degrees * kPi);
}

}  // namespace

// Memory from the kernel comes zeroed, so every derived field starts at 0 without a pass over it.
PointTable::PointTable() : block_(kTableBytes) {
  char* next = block_.Data();
  const auto doubles = [&next] {
    auto* array = reinterpret_cast<double*>(next);
    next += kDoubleBytes;
    return array;
  };
  const auto bytes = [&next] {
    auto* array = reinterpret_cast<std::uint8_t*>(next);
    next += kByteBytes;
    return array;
  };
  lonDeg = doubles();
  latDeg = doubles();
  lonRad = doubles();
  latRad = doubles();
  az = doubles();
  el = doubles();
  x = doubles();
  y = doubles();
  z = doubles();
  xr = doubles();
  yr = doubles();
  zr = doubles();
  sx = doubles();
  sy = doubles();
  next += 2 * kDoubleBytes;  // room kept so the byte arrays follow whole lines
  valid = bytes();
  usable = bytes();
  lonKind_ = bytes();
  latKind_ = bytes();
}

PointTable::PointTable(PointTable&& other) noexcept
    : valid(other.valid),
      usable(other.usable),
      lonDeg(other.lonDeg),
      latDeg(other.latDeg),
      lonRad(other.lonRad),
      latRad(other.latRad),
      az(other.az),
      el(other.el),
      x(other.x),
      y(other.y),
      z(other.z),
      xr(other.xr),
      yr(other.yr),
      zr(other.zr),
      sx(other.sx),
      sy(other.sy),
      block_(std::move(other.block_)),
      lonKind_(other.lonKind_),
      latKind_(other.latKind_),
      texts_(std::move(other.texts_)) {}

PointTable::~PointTable() = default;

void PointTable::Store(int i, FieldValue value, std::uint8_t* kinds, double* numbers, int side) {
  if (value.IsNumber()) {
    kinds[i] = kNumber;
    numbers[i] = value.Number();
    return;
  }
  if (value.IsNA()) {
    kinds[i] = kMarker;
    numbers[i] = 0;
    return;
  }
  kinds[i] = kText;
  numbers[i] = value.AsNumber().value_or(0.0);
  // Entries are loaded in order, so an entry read again (as tests do) is the last one held.
  const int key = 2 * i + side;
  if (!texts_.empty() && texts_.back().first >= key) {
    std::erase_if(texts_, [key](const auto& text) { return text.first == key; });
  }
  const auto at = std::lower_bound(texts_.begin(), texts_.end(), key,
                                   [](const auto& text, int k) { return text.first < k; });
  texts_.emplace(at, key, std::move(value).Text());
}

void PointTable::SetSource(int i, FieldValue lon, FieldValue lat) {
  const bool isValid = !lon.IsNA() && !lat.IsNA();
  const std::optional<double> lonNumber = isValid ? lon.AsNumber() : std::nullopt;
  const std::optional<double> latNumber = isValid ? lat.AsNumber() : std::nullopt;
  const bool isUsable =
      lonNumber && latNumber && Projectable(*lonNumber) && Projectable(*latNumber);
  Store(i, std::move(lon), lonKind_, lonDeg, 0);
  Store(i, std::move(lat), latKind_, latDeg, 1);
  valid[i] = isValid ? 1 : 0;
  usable[i] = isUsable ? 1 : 0;
}

void PointTable::SetNumbers(int i, double lon, double lat) {
  lonKind_[i] = kNumber;
  latKind_[i] = kNumber;
  lonDeg[i] = lon;
  latDeg[i] = lat;
  valid[i] = 1;
  usable[i] = Projectable(lon) && Projectable(lat) ? 1 : 0;
}

FieldValue PointTable::Source(int i, const std::uint8_t* kinds, const double* numbers,
                              int side) const {
  switch (kinds[i]) {
    case kNumber:
      return numbers[i];
    case kMarker:
      return FieldValue("NA");
    default: {
      const int key = 2 * i + side;
      const auto at = std::lower_bound(texts_.begin(), texts_.end(), key,
                                       [](const auto& text, int k) { return text.first < k; });
      return (at != texts_.end() && at->first == key) ? FieldValue(at->second) : FieldValue();
    }
  }
}

FieldValue PointTable::SrcLon(int i) const {
  return Source(i, lonKind_, lonDeg, 0);
}

FieldValue PointTable::SrcLat(int i) const {
  return Source(i, latKind_, latDeg, 1);
}

}  // namespace globeview
