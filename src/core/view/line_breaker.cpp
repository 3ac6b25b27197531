#include "view/line_breaker.h"

#include <cmath>

#include "system/angles.h"

namespace globeview {

namespace {

// A piece longer than this part of the 180-degree ring's radius crosses the tear.
constexpr double kLongestPieceOfRadius = 0.25;

}  // namespace

LineBreaker::LineBreaker(const Projector& projector)
    : projector_(projector), middle_(projector.Middle()) {
  const double nearRing = projector.RingRadius(180 - kAntipodeMarginDegrees);
  const double longest = projector.RingRadius(180) * kLongestPieceOfRadius;
  nearRingSquared_ = nearRing * nearRing;
  longestSquared_ = longest * longest;
}

PreparedLines PrepareLines(const std::vector<Polyline>& lines) {
  const double nearest = std::cos(kCoarseStepDegrees * kTruePi / 180);
  PreparedLines prepared;
  for (const Polyline& line : lines) {
    EarthVector kept;
    for (std::size_t k = 0; k < line.size(); ++k) {
      const EarthVector point = EarthVectorOf({line[k].lon, line[k].lat});
      prepared.fine.points.push_back(point);
      const double closeness = point.x * kept.x + point.y * kept.y + point.z * kept.z;
      if (k == 0 || k + 1 == line.size() || closeness <= nearest) {
        prepared.coarse.points.push_back(point);
        kept = point;
      }
    }
    prepared.fine.ends.push_back(prepared.fine.points.size());
    prepared.coarse.ends.push_back(prepared.coarse.points.size());
  }
  return prepared;
}

std::optional<ScreenSegment> LineBreaker::NextAt(ScreenPosition at) {
  const double mx = at.x - middle_.x;
  const double my = at.y - middle_.y;
  if (mx * mx + my * my > nearRingSquared_) {
    last_.reset();
    return std::nullopt;
  }
  const std::optional<ScreenPosition> before = last_;
  last_ = at;
  if (!before) return std::nullopt;
  const double dx = at.x - before->x;
  const double dy = at.y - before->y;
  if (dx * dx + dy * dy > longestSquared_) return std::nullopt;
  return ScreenSegment{*before, at};
}

}  // namespace globeview
