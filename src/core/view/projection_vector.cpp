#include "view/projection_vector.h"

#include <cpuid.h>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

// Everything up to the Highway includes is compiled once; Highway then compiles the vector loops
// below once per instruction set, and the best one the processor has is picked at the first call.
#ifndef GLOBEVIEW_VIEW_PROJECTION_VECTOR_SHARED
#define GLOBEVIEW_VIEW_PROJECTION_VECTOR_SHARED

namespace globeview {

namespace {

// Highway's sine and cosine reduce their argument with a four-part pi that holds up to about this
// many radians. A usable longitude or latitude can be far larger (millions of degrees up to about
// 5.7e307); a vector holding such an angle is projected lane by lane through the C library.
constexpr double kVectorTrigLimit = 39000;

// One entry through ProjectPoint, stored.
void ProjectEntry(const PointTable::DerivedFields& out, std::span<const double> lonDeg,
                  std::span<const double> latDeg, int i, const ProjectionFrame& f) {
  const ProjectedPoint p = ProjectPoint(lonDeg[i], latDeg[i], f);
  out.lonRad[i] = p.lonRad;
  out.latRad[i] = p.latRad;
  out.x[i] = p.x;
  out.y[i] = p.y;
  out.z[i] = p.z;
  out.xr[i] = p.xr;
  out.yr[i] = p.yr;
  out.zr[i] = p.zr;
  out.az[i] = p.az;
  out.el[i] = p.el;
}

// One entry through PlacePoint, stored.
void PlaceEntry(const PointTable::DerivedFields& out, int i, const ScreenFrame& s) {
  const ScreenPosition at = PlacePoint(out.az[i], out.el[i], s);
  out.sx[i] = at.x;
  out.sy[i] = at.y;
}

}  // namespace

}  // namespace globeview

#endif  // GLOBEVIEW_VIEW_PROJECTION_VECTOR_SHARED

// The plain build is Highway's one-lane SCALAR with every compiler (clang's would otherwise be
// EMU128), so the C library's loops below serve it.
#define HWY_BROKEN_EMU128 1
// Processors with SSSE3 but not SSE4 are long gone; leaving that target out keeps the build short.
#ifndef HWY_DISABLED_TARGETS
#define HWY_DISABLED_TARGETS HWY_SSSE3
#endif
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "view/projection_vector.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
// foreach_target.h must come first.
#include <hwy/contrib/math/math-inl.h>
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace globeview {
namespace HWY_NAMESPACE {
namespace {

#if HWY_TARGET == HWY_SCALAR

// One lane at a time, the C library's functions are faster than Highway's and exactly the formulas.
void ProjectLanes(PointTable& t, const ProjectionFrame& f) {
  const PointTable::DerivedFields out = t.Derived();
  for (int i = 1; i <= kPointCount; ++i) {
    if (t.IsUsable(i)) ProjectEntry(out, t.LonDeg(), t.LatDeg(), i, f);
  }
}

void PlaceLanes(PointTable& t, const ScreenFrame& s) {
  const PointTable::DerivedFields out = t.Derived();
  for (int i = 1; i <= kPointCount; ++i) PlaceEntry(out, i, s);
}

#else

namespace hn = hwy::HWY_NAMESPACE;
using Tag = hn::ScalableTag<double>;
using Vec = hn::Vec<Tag>;
using Mask = hn::Mask<Tag>;

constexpr int kEntries = static_cast<int>(kTableEntries);

// The lanes of entries i.. that are usable points; entry 0 never is. Returns how many.
int UsableLanes(Tag d, const std::uint8_t* usableField, int i, Mask& usable) {
  std::uint8_t bits[(HWY_MAX_BYTES / sizeof(double) + 7) / 8] = {};
  const int lanes = static_cast<int>(hn::Lanes(d));
  int count = 0;
  for (int k = 0; k < lanes; ++k) {
    if (i + k == 0 || usableField[i + k] == 0) continue;
    bits[k / 8] |= static_cast<std::uint8_t>(1u << (k % 8));
    ++count;
  }
  usable = hn::LoadMaskBits(d, bits);
  return count;
}

Vec OneTurnIntoRangeLanes(Tag d, Vec angle) {
  const Vec twoPi = hn::Set(d, kTwoPi);
  angle = hn::IfThenElse(hn::Gt(angle, twoPi), hn::Sub(angle, twoPi), angle);
  return hn::IfThenElse(hn::Lt(angle, hn::Zero(d)), hn::Add(angle, twoPi), angle);
}

// As the projection's Azimuth, lane by lane.
Vec AzimuthLanes(Tag d, Vec xr, Vec yr) {
  const Vec zero = hn::Zero(d);
  const Vec quotientAngle = hn::Atan(d, hn::Div(yr, xr));
  const Vec az =
      hn::IfThenElse(hn::Gt(xr, zero), quotientAngle, hn::Add(quotientAngle, hn::Set(d, kPi)));
  const Vec onAxis =
      hn::IfThenElse(hn::Gt(yr, zero), hn::Set(d, kHalfPi),
                     hn::IfThenElseZero(hn::Lt(yr, zero), hn::Set(d, kThreeHalvesPi)));
  return hn::IfThenElse(hn::Eq(xr, zero), onAxis, az);
}

// As the projection's Elevation, lane by lane.
Vec ElevationLanes(Tag d, Vec xr, Vec yr, Vec zr) {
  const Vec zero = hn::Zero(d);
  const Vec halfPi = hn::Set(d, kHalfPi);
  const Vec horizontal = hn::Sqrt(hn::Add(hn::Mul(xr, xr), hn::Mul(yr, yr)));
  Vec el = hn::Atan(d, hn::Div(zr, horizontal));
  el = hn::Max(hn::Min(el, halfPi), hn::Neg(halfPi));
  const Vec pole = hn::IfThenElse(hn::Ge(zr, zero), halfPi, hn::Neg(halfPi));
  return hn::IfThenElse(hn::Eq(horizontal, zero), pole, el);
}

// The angles of one vector of points, every field ProjectPoint gives.
struct Lanes {
  Vec lonRad, latRad, x, y, z, xr, zr, az, el;
};

// ProjectPoint's steps, lane by lane, from angles in radians within Highway's trigonometry.
Lanes ProjectVector(Tag d, Vec lonRad, Vec latRad, const ProjectionFrame& f) {
  Lanes p;
  p.lonRad = lonRad;
  p.latRad = latRad;
  const Vec turned = OneTurnIntoRangeLanes(d, hn::Add(lonRad, hn::Set(d, f.turn)));
  const Vec cosTilt = hn::Set(d, f.cosTilt);
  const Vec sinTilt = hn::Set(d, f.sinTilt);
  const Vec cosEl = hn::Cos(d, latRad);
  p.x = hn::Mul(hn::Cos(d, turned), cosEl);
  p.y = hn::Mul(hn::Sin(d, turned), cosEl);
  p.z = hn::Sin(d, latRad);
  p.xr = hn::Sub(hn::Mul(p.x, cosTilt), hn::Mul(p.z, sinTilt));
  p.zr = hn::Add(hn::Mul(p.x, sinTilt), hn::Mul(p.z, cosTilt));
  p.az = OneTurnIntoRangeLanes(d, AzimuthLanes(d, p.xr, p.y));
  p.el = ElevationLanes(d, p.xr, p.y, p.zr);
  return p;
}

// Whether every lane's angles lie where Highway's sine and cosine hold.
bool WithinVectorTrig(Tag d, Vec lonRad, Vec latRad, const ProjectionFrame& f) {
  const Vec turned = OneTurnIntoRangeLanes(d, hn::Add(lonRad, hn::Set(d, f.turn)));
  const Vec limit = hn::Set(d, kVectorTrigLimit);
  return hn::AllTrue(d, hn::And(hn::Lt(hn::Abs(turned), limit), hn::Lt(hn::Abs(latRad), limit)));
}

// Every field, a vector of entries at a time; unusable lanes are never stored.
void ProjectLanes(PointTable& t, const ProjectionFrame& f) {
  const Tag d;
  const int lanes = static_cast<int>(hn::Lanes(d));
  const PointTable::DerivedFields out = t.Derived();
  const std::uint8_t* const usableField = t.Usable().data();
  const double* const lonDegField = t.LonDeg().data();
  const double* const latDegField = t.LatDeg().data();
  const Vec pi = hn::Set(d, kPi);
  const Vec degreesPerHalfTurn = hn::Set(d, kDegreesPerHalfTurn);
  int i = 0;
  for (; i + lanes <= kEntries; i += lanes) {
    Mask usable;
    const int count = UsableLanes(d, usableField, i, usable);
    if (count == 0) continue;
    // Unusable lanes compute on 0, so that they never hold a value out of range.
    const Vec lonDeg = hn::IfThenElseZero(usable, hn::LoadU(d, lonDegField + i));
    const Vec latDeg = hn::IfThenElseZero(usable, hn::LoadU(d, latDegField + i));
    const Vec lonRad = OneTurnIntoRangeLanes(d, hn::Div(hn::Mul(lonDeg, pi), degreesPerHalfTurn));
    const Vec latRad = hn::Div(hn::Mul(latDeg, pi), degreesPerHalfTurn);
    if (!WithinVectorTrig(d, lonRad, latRad, f)) {
      for (int k = 0; k < lanes; ++k) {
        if (i + k > 0 && usableField[i + k] != 0) {
          ProjectEntry(out, t.LonDeg(), t.LatDeg(), i + k, f);
        }
      }
      continue;
    }
    const Lanes p = ProjectVector(d, lonRad, latRad, f);
    const bool whole = count == lanes;
    const auto store = [&](Vec value, std::span<double> field) {
      if (whole) {
        hn::StoreU(value, d, field.data() + i);
      } else {
        hn::BlendedStore(value, usable, d, field.data() + i);
      }
    };
    store(p.lonRad, out.lonRad);
    store(p.latRad, out.latRad);
    store(p.x, out.x);
    store(p.y, out.y);
    store(p.z, out.z);
    store(p.xr, out.xr);
    store(p.y, out.yr);
    store(p.zr, out.zr);
    store(p.az, out.az);
    store(p.el, out.el);
  }
  for (; i < kEntries; ++i) {
    if (usableField[i] != 0) ProjectEntry(out, t.LonDeg(), t.LatDeg(), i, f);
  }
}

// The screen position of every entry but 0, a vector at a time.
void PlaceLanes(PointTable& t, const ScreenFrame& s) {
  const Tag d;
  const int lanes = static_cast<int>(hn::Lanes(d));
  const PointTable::DerivedFields out = t.Derived();
  const Vec halfPi = hn::Set(d, kHalfPi);
  const Vec pi = hn::Set(d, kPi);
  const Vec height = hn::Set(d, s.height);
  const Vec halfMagnification = hn::Set(d, s.halfMagnification);
  const Vec middleX = hn::Set(d, s.middleX);
  const Vec middleY = hn::Set(d, s.middleY);
  const Vec trigLimit = hn::Set(d, kVectorTrigLimit);
  const Mask notEntryZero = hn::Not(hn::FirstN(d, 1));
  double* const sxField = out.sx.data();
  double* const syField = out.sy.data();
  int i = 0;
  for (; i + lanes <= kEntries; i += lanes) {
    const Vec az = hn::LoadU(d, out.az.data() + i);
    // The projection leaves az within a turn; any other value goes through the C library.
    if (!hn::AllTrue(d, hn::Lt(hn::Abs(az), trigLimit))) {
      for (int k = 0; k < lanes; ++k) {
        if (i + k > 0) PlaceEntry(out, i + k, s);
      }
      continue;
    }
    const Vec el = hn::LoadU(d, out.el.data() + i);
    const Vec r = hn::Mul(hn::Div(hn::Mul(height, hn::Sub(halfPi, el)), pi), halfMagnification);
    const Vec sx = hn::Add(hn::Mul(r, hn::Sin(d, az)), middleX);
    const Vec sy = hn::Add(hn::Mul(r, hn::Cos(d, az)), middleY);
    if (i == 0) {
      hn::BlendedStore(sx, notEntryZero, d, sxField);
      hn::BlendedStore(sy, notEntryZero, d, syField);
    } else {
      hn::StoreU(sx, d, sxField + i);
      hn::StoreU(sy, d, syField + i);
    }
  }
  for (; i < kEntries; ++i) {
    if (i > 0) PlaceEntry(out, i, s);
  }
}

#endif  // HWY_TARGET == HWY_SCALAR

}  // namespace
}  // namespace HWY_NAMESPACE
}  // namespace globeview
HWY_AFTER_NAMESPACE();

#if HWY_ONCE

namespace globeview {
namespace {

// One instruction set the loops above are built for: its name, whether this processor has every
// feature the build of it assumes, and its two loops.
struct Target {
  const char* name;
  bool (*supported)();
  void (*project)(PointTable&, const ProjectionFrame&);
  void (*place)(PointTable&, const ScreenFrame&);
};

// clang 14's __builtin_cpu_supports does not know "f16c": the processor is asked itself.
bool HasF16c() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  return __get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0 && (ecx & bit_F16C) != 0;
}

// What each of Highway's builds assumes of the processor; each builds on the one before.
bool HasSse4() {
  return __builtin_cpu_supports("ssse3") && __builtin_cpu_supports("sse4.1") &&
         __builtin_cpu_supports("sse4.2") && __builtin_cpu_supports("pclmul") &&
         __builtin_cpu_supports("aes");
}

bool HasAvx2() {
  return HasSse4() && __builtin_cpu_supports("avx") && __builtin_cpu_supports("avx2") &&
         __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2") &&
         __builtin_cpu_supports("fma") && HasF16c();
}

bool HasAvx3() {
  return HasAvx2() && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
         __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512bw");
}

bool HasAnything() {
  return true;
}

// Best first. Highway's own dispatcher would make this choice, but it lives in Highway's shared
// library, whose start-up spends about 5 ms timing the clock in every process that links it (more
// than loading, projecting and drawing together); the choice is made here instead, from the
// features each of Highway's builds assumes.
const Target kTargets[] = {
#if HWY_TARGETS & HWY_AVX3
    {"AVX3", HasAvx3, &N_AVX3::ProjectLanes, &N_AVX3::PlaceLanes},
#endif
#if HWY_TARGETS & HWY_AVX2
    {"AVX2", HasAvx2, &N_AVX2::ProjectLanes, &N_AVX2::PlaceLanes},
#endif
#if HWY_TARGETS & HWY_SSE4
    {"SSE4", HasSse4, &N_SSE4::ProjectLanes, &N_SSE4::PlaceLanes},
#endif
    {"SCALAR", HasAnything, &N_SCALAR::ProjectLanes, &N_SCALAR::PlaceLanes},
};

const Target* Best() {
  for (const Target& target : kTargets) {
    if (target.supported()) return &target;
  }
  return &kTargets[std::size(kTargets) - 1];  // never reached: plain code runs anywhere
}

const Target*& Chosen() {
  static const Target* chosen = Best();
  return chosen;
}

}  // namespace

void ProjectTable(PointTable& table, const ProjectionFrame& frame) {
  Chosen()->project(table, frame);
}

void PlaceTable(PointTable& table, const ScreenFrame& screen) {
  Chosen()->place(table, screen);
}

const char* ProjectionTarget() {
  return Chosen()->name;
}

std::vector<std::string> ProjectionTargets() {
  std::vector<std::string> names;
  for (const Target& target : kTargets) {
    if (target.supported()) names.emplace_back(target.name);
  }
  return names;
}

bool UseProjectionTarget(const std::string& name) {
  for (const Target& target : kTargets) {
    if (name.empty() ? target.supported() : (name == target.name && target.supported())) {
      Chosen() = &target;
      return true;
    }
  }
  return false;
}

}  // namespace globeview

#endif  // HWY_ONCE
