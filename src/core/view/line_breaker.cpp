#include "view/line_breaker.h"

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
  PreparedLines prepared;
  for (const Polyline& line : lines) {
    for (const LonLat& point : line)
      prepared.points.push_back(EarthVectorOf({point.lon, point.lat}));
    prepared.ends.push_back(prepared.points.size());
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
