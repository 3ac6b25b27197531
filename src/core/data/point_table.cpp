#include "data/point_table.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>
#include <utility>

#include "system/angles.h"

namespace globeview {

namespace {

constexpr std::size_t kDoubleArrays = 16;  // lonDeg, latDeg, 12 derived, room for 2
constexpr std::size_t kByteArrays = 4;     // valid, usable, the two kinds
constexpr std::size_t kDoubleBytes = ((kTableEntries * sizeof(double) + 63) / 64) * 64;
constexpr std::size_t kByteBytes = ((kTableEntries + 63) / 64) * 64;
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
  lonDeg_ = doubles();
  latDeg_ = doubles();
  for (double*& field : derived_) field = doubles();
  next += 2 * kDoubleBytes;  // room kept so the byte arrays follow whole lines
  valid_ = bytes();
  usable_ = bytes();
  lonKind_ = bytes();
  latKind_ = bytes();
}

PointTable::PointTable(PointTable&& other) noexcept
    : block_(std::move(other.block_)),
      valid_(other.valid_),
      usable_(other.usable_),
      lonDeg_(other.lonDeg_),
      latDeg_(other.latDeg_),
      lonKind_(other.lonKind_),
      latKind_(other.latKind_),
      texts_(std::move(other.texts_)) {
  std::copy(std::begin(other.derived_), std::end(other.derived_), std::begin(derived_));
}

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
  Store(i, std::move(lon), lonKind_, lonDeg_, 0);
  Store(i, std::move(lat), latKind_, latDeg_, 1);
  valid_[i] = isValid ? 1 : 0;
  usable_[i] = isUsable ? 1 : 0;
}

void PointTable::SetNumbers(int i, double lon, double lat) {
  lonKind_[i] = kNumber;
  latKind_[i] = kNumber;
  lonDeg_[i] = lon;
  latDeg_[i] = lat;
  valid_[i] = 1;
  usable_[i] = Projectable(lon) && Projectable(lat) ? 1 : 0;
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

PointTable::DerivedFields PointTable::Derived() {
  const auto field = [this](int k) { return std::span<double>(derived_[k], kTableEntries); };
  return {field(0), field(1), field(2), field(3), field(4),  field(5),
          field(6), field(7), field(8), field(9), field(10), field(11)};
}

FieldValue PointTable::SrcLon(int i) const {
  return Source(i, lonKind_, lonDeg_, 0);
}

FieldValue PointTable::SrcLat(int i) const {
  return Source(i, latKind_, latDeg_, 1);
}

}  // namespace globeview
