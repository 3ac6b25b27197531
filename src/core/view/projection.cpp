#include "view/projection.h"

#include <cpuid.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

// Everything up to the Highway includes is compiled once; Highway then compiles the vector loops
// below once per instruction set, and the best one the processor has is picked at the first call.
#ifndef GLOBEVIEW_VIEW_PROJECTION_SHARED
#define GLOBEVIEW_VIEW_PROJECTION_SHARED

namespace globeview {

namespace {

constexpr double kTwoPi = 2 * kPi;
constexpr double kHalfPi = kPi / 2;
constexpr double kThreeHalvesPi = 3 * kPi / 2;
constexpr double kDegreesPerHalfTurn = 180.0;
constexpr double kDegreesPerTurn = 360.0;
constexpr double kPoleLatitude = 90.0;
constexpr int kEntries = kPointCount + 1;  // entry 0 is never used

// Highway's sine and cosine reduce their argument with a four-part pi that holds up to about this
// many radians. A usable longitude or latitude can be far larger (millions of degrees up to about
// 5.7e307); a vector holding such an angle is projected lane by lane through the C library.
constexpr double kVectorTrigLimit = 39000;

// The turn in longitude and the tilt, the same for every point of one projection.
struct Frame {
  double turn;
  double cosTilt;
  double sinTilt;
};

// The screen: half the magnification, the height and the middle, in twips.
struct Screen {
  double halfMagnification;
  double height;
  double middleX;
  double middleY;
};

// One step each way, greater-than test first: the values reaching here are at most one turn out.
inline double OneTurnIntoRange(double angle) {
  if (angle > kTwoPi) angle -= kTwoPi;
  if (angle < 0) angle += kTwoPi;
  return angle;
}

// Degrees to radians, multiplying first. The loader never lets through a value whose product
// overflows.
inline double ToRadians(double degrees) {
  return degrees * kPi / kDegreesPerHalfTurn;
}

// The azimuth of (xr, yr) in the program's half-turn arithmetic. On the line xr = 0 the quotient
// has no value; these are the limits of the formula from either side, and 0 at the centre and the
// antipode, where every direction is the same.
inline double Azimuth(double xr, double yr) {
  if (xr > 0) return std::atan(yr / xr);
  if (xr < 0) return std::atan(yr / xr) + kPi;
  if (yr > 0) return kHalfPi;
  if (yr < 0) return kThreeHalvesPi;
  return 0.0;
}

// The elevation from the vector after the tilt. Because the program's pi is a little short of the
// true one, a point within about 2e-9 rad of the centre or antipode comes out just past +-pi/2; it
// belongs at the middle of the picture (or on its outer ring), so it is held at the bound.
inline double Elevation(double xr, double yr, double zr) {
  const double horizontal = std::sqrt(xr * xr + yr * yr);
  double el;
  if (horizontal == 0) {
    el = zr >= 0 ? kHalfPi : -kHalfPi;
  } else {
    el = std::atan(zr / horizontal);
  }
  if (el > kHalfPi) el = kHalfPi;
  if (el < -kHalfPi) el = -kHalfPi;
  return el;
}

Frame MakeFrame(double a1, double b1) {
  const double rot = kDegreesPerTurn - a1;
  const double tilt = ((kPoleLatitude - b1) / kDegreesPerHalfTurn) * kPi;
  return Frame{(rot / kDegreesPerHalfTurn) * kPi, std::cos(tilt), std::sin(tilt)};
}

Screen MakeScreen(double c1, double width, double height) {
  return Screen{c1 * (1.0 / 2), height, width / 2, height / 2};
}

// Every field the four passes give one point.
struct Projected {
  double lonRad, latRad, x, y, z, xr, yr, zr, az, el;
};

// One point through the four passes with the C library's functions: degrees to radians, working
// copies, the turn in longitude, then the tilt of the centre onto the pole of the working sphere
// and the azimuth and elevation there.
Projected ProjectPoint(double lonDeg, double latDeg, const Frame& f) {
  Projected p;
  p.lonRad = OneTurnIntoRange(ToRadians(lonDeg));
  p.latRad = ToRadians(latDeg);
  const double az = OneTurnIntoRange(p.lonRad + f.turn);
  const double el = p.latRad;
  const double cosEl = std::cos(el);
  p.x = std::cos(az) * cosEl;
  p.y = std::sin(az) * cosEl;
  p.z = std::sin(el);
  p.xr = p.x * f.cosTilt - p.z * f.sinTilt;
  p.yr = p.y;
  p.zr = p.x * f.sinTilt + p.z * f.cosTilt;
  p.az = OneTurnIntoRange(Azimuth(p.xr, p.yr));
  p.el = Elevation(p.xr, p.yr, p.zr);
  return p;
}

void ProjectEntry(PointTable& t, int i, const Frame& f) {
  const Projected p = ProjectPoint(t.lonDeg[i], t.latDeg[i], f);
  t.lonRad[i] = p.lonRad;
  t.latRad[i] = p.latRad;
  t.x[i] = p.x;
  t.y[i] = p.y;
  t.z[i] = p.z;
  t.xr[i] = p.xr;
  t.yr[i] = p.yr;
  t.zr[i] = p.zr;
  t.az[i] = p.az;
  t.el[i] = p.el;
}

// A screen position from azimuth and elevation through the C library's functions.
ScreenPosition PlacePoint(double az, double el, const Screen& s) {
  const double r = ((s.height * (kHalfPi - el)) / kPi) * s.halfMagnification;
  return {r * std::sin(az) + s.middleX, r * std::cos(az) + s.middleY};
}

void PlaceEntry(PointTable& t, int i, const Screen& s) {
  const ScreenPosition at = PlacePoint(t.az[i], t.el[i], s);
  t.sx[i] = at.x;
  t.sy[i] = at.y;
}

}  // namespace

}  // namespace globeview

#endif  // GLOBEVIEW_VIEW_PROJECTION_SHARED

// The plain build is Highway's one-lane SCALAR with every compiler (clang's would otherwise be
// EMU128), so the C library's loops below serve it.
#define HWY_BROKEN_EMU128 1
// Processors with SSSE3 but not SSE4 are long gone; leaving that target out keeps the build short.
#ifndef HWY_DISABLED_TARGETS
#define HWY_DISABLED_TARGETS HWY_SSSE3
#endif
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "view/projection.cpp"
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
void ProjectTable(PointTable& t, const Frame& f) {
  for (int i = 1; i <= kPointCount; ++i) {
    if (t.usable[i] != 0) ProjectEntry(t, i, f);
  }
}

void PlaceTable(PointTable& t, const Screen& s) {
  for (int i = 1; i <= kPointCount; ++i) PlaceEntry(t, i, s);
}

#else

namespace hn = hwy::HWY_NAMESPACE;
using Tag = hn::ScalableTag<double>;
using Vec = hn::Vec<Tag>;
using Mask = hn::Mask<Tag>;

// The lanes of entries i.. that are usable points; entry 0 never is. Returns how many.
int UsableLanes(Tag d, const PointTable& t, int i, Mask& usable) {
  std::uint8_t bits[(HWY_MAX_BYTES / sizeof(double) + 7) / 8] = {};
  const int lanes = static_cast<int>(hn::Lanes(d));
  int count = 0;
  for (int k = 0; k < lanes; ++k) {
    if (i + k == 0 || t.usable[i + k] == 0) continue;
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

// As Azimuth, lane by lane.
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

// As Elevation, lane by lane.
Vec ElevationLanes(Tag d, Vec xr, Vec yr, Vec zr) {
  const Vec zero = hn::Zero(d);
  const Vec halfPi = hn::Set(d, kHalfPi);
  const Vec horizontal = hn::Sqrt(hn::Add(hn::Mul(xr, xr), hn::Mul(yr, yr)));
  Vec el = hn::Atan(d, hn::Div(zr, horizontal));
  el = hn::Max(hn::Min(el, halfPi), hn::Neg(halfPi));
  const Vec pole = hn::IfThenElse(hn::Ge(zr, zero), halfPi, hn::Neg(halfPi));
  return hn::IfThenElse(hn::Eq(horizontal, zero), pole, el);
}

// All four passes at once, a vector of entries at a time; unusable lanes are never stored.
void ProjectTable(PointTable& t, const Frame& f) {
  const Tag d;
  const int lanes = static_cast<int>(hn::Lanes(d));
  const Vec pi = hn::Set(d, kPi);
  const Vec degreesPerHalfTurn = hn::Set(d, kDegreesPerHalfTurn);
  const Vec turn = hn::Set(d, f.turn);
  const Vec cosTilt = hn::Set(d, f.cosTilt);
  const Vec sinTilt = hn::Set(d, f.sinTilt);
  const Vec trigLimit = hn::Set(d, kVectorTrigLimit);
  int i = 0;
  for (; i + lanes <= kEntries; i += lanes) {
    Mask usable;
    const int count = UsableLanes(d, t, i, usable);
    if (count == 0) continue;
    const bool whole = count == lanes;
    // Unusable lanes compute on 0, so that they never hold a value out of range.
    const Vec lonDeg = hn::IfThenElseZero(usable, hn::LoadU(d, t.lonDeg + i));
    const Vec latDeg = hn::IfThenElseZero(usable, hn::LoadU(d, t.latDeg + i));
    const Vec lonRad = OneTurnIntoRangeLanes(d, hn::Div(hn::Mul(lonDeg, pi), degreesPerHalfTurn));
    const Vec latRad = hn::Div(hn::Mul(latDeg, pi), degreesPerHalfTurn);
    const Vec turned = OneTurnIntoRangeLanes(d, hn::Add(lonRad, turn));
    if (!hn::AllTrue(
            d, hn::And(hn::Lt(hn::Abs(turned), trigLimit), hn::Lt(hn::Abs(latRad), trigLimit)))) {
      for (int k = 0; k < lanes; ++k) {
        if (i + k > 0 && t.usable[i + k] != 0) ProjectEntry(t, i + k, f);
      }
      continue;
    }
    const Vec cosEl = hn::Cos(d, latRad);
    const Vec x = hn::Mul(hn::Cos(d, turned), cosEl);
    const Vec y = hn::Mul(hn::Sin(d, turned), cosEl);
    const Vec z = hn::Sin(d, latRad);
    const Vec xr = hn::Sub(hn::Mul(x, cosTilt), hn::Mul(z, sinTilt));
    const Vec zr = hn::Add(hn::Mul(x, sinTilt), hn::Mul(z, cosTilt));
    const Vec az = OneTurnIntoRangeLanes(d, AzimuthLanes(d, xr, y));
    const Vec el = ElevationLanes(d, xr, y, zr);
    const auto store = [&](Vec value, double* field) {
      if (whole) {
        hn::StoreU(value, d, field + i);
      } else {
        hn::BlendedStore(value, usable, d, field + i);
      }
    };
    store(lonRad, t.lonRad);
    store(latRad, t.latRad);
    store(x, t.x);
    store(y, t.y);
    store(z, t.z);
    store(xr, t.xr);
    store(y, t.yr);
    store(zr, t.zr);
    store(az, t.az);
    store(el, t.el);
  }
  for (; i < kEntries; ++i) {
    if (t.usable[i] != 0) ProjectEntry(t, i, f);
  }
}

// The screen position of every entry but 0, a vector at a time.
void PlaceTable(PointTable& t, const Screen& s) {
  const Tag d;
  const int lanes = static_cast<int>(hn::Lanes(d));
  const Vec halfPi = hn::Set(d, kHalfPi);
  const Vec pi = hn::Set(d, kPi);
  const Vec height = hn::Set(d, s.height);
  const Vec halfMagnification = hn::Set(d, s.halfMagnification);
  const Vec middleX = hn::Set(d, s.middleX);
  const Vec middleY = hn::Set(d, s.middleY);
  const Vec trigLimit = hn::Set(d, kVectorTrigLimit);
  const Mask notEntryZero = hn::Not(hn::FirstN(d, 1));
  int i = 0;
  for (; i + lanes <= kEntries; i += lanes) {
    const Vec az = hn::LoadU(d, t.az + i);
    // The projection leaves az within a turn; any other value goes through the C library.
    if (!hn::AllTrue(d, hn::Lt(hn::Abs(az), trigLimit))) {
      for (int k = 0; k < lanes; ++k) {
        if (i + k > 0) PlaceEntry(t, i + k, s);
      }
      continue;
    }
    const Vec el = hn::LoadU(d, t.el + i);
    const Vec r = hn::Mul(hn::Div(hn::Mul(height, hn::Sub(halfPi, el)), pi), halfMagnification);
    const Vec sx = hn::Add(hn::Mul(r, hn::Sin(d, az)), middleX);
    const Vec sy = hn::Add(hn::Mul(r, hn::Cos(d, az)), middleY);
    if (i == 0) {
      hn::BlendedStore(sx, notEntryZero, d, t.sx);
      hn::BlendedStore(sy, notEntryZero, d, t.sy);
    } else {
      hn::StoreU(sx, d, t.sx + i);
      hn::StoreU(sy, d, t.sy + i);
    }
  }
  for (; i < kEntries; ++i) {
    if (i > 0) PlaceEntry(t, i, s);
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
  void (*project)(PointTable&, const Frame&);
  void (*place)(PointTable&, const Screen&);
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
    {"AVX3", HasAvx3, &N_AVX3::ProjectTable, &N_AVX3::PlaceTable},
#endif
#if HWY_TARGETS & HWY_AVX2
    {"AVX2", HasAvx2, &N_AVX2::ProjectTable, &N_AVX2::PlaceTable},
#endif
#if HWY_TARGETS & HWY_SSE4
    {"SSE4", HasSse4, &N_SSE4::ProjectTable, &N_SSE4::PlaceTable},
#endif
    {"SCALAR", HasAnything, &N_SCALAR::ProjectTable, &N_SCALAR::PlaceTable},
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

void Project(PointTable& table, double a1, double b1) {
  Chosen()->project(table, MakeFrame(a1, b1));
}

void ComputeScreenPositions(PointTable& table, double c1, double width, double height) {
  Chosen()->place(table, MakeScreen(c1, width, height));
}

ScreenPosition PositionOf(double lonDeg, double latDeg, double a1, double b1, double c1,
                          double width, double height) {
  const Projected p = ProjectPoint(lonDeg, latDeg, MakeFrame(a1, b1));
  return PlacePoint(p.az, p.el, MakeScreen(c1, width, height));
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
