#pragma once

// Lines through the projection (borders, the locator grid) drawn as straight pieces between
// neighbouring points. Near the antipode the projection tears: two points a little apart on the
// earth may lie on opposite sides of the disc. A piece is therefore left out when either end lies
// within kAntipodeMarginDegrees of the 180-degree ring, or when its ends lie more than a quarter of
// that ring's radius apart on the screen; nothing jumps across the disc.

#include <optional>

#include "view/picture.h"
#include "view/projection.h"

namespace globeview {

inline constexpr double kAntipodeMarginDegrees = 2;

struct ScreenSegment {
  ScreenPosition from;
  ScreenPosition to;
};

class LineBreaker {
 public:
  explicit LineBreaker(const Projector& projector);
  // A new line begins: the next point joins nothing before it.
  void Start() { last_.reset(); }
  // The line's next point; the piece from the point before it, when one is to be drawn.
  std::optional<ScreenSegment> Next(Place place);

 private:
  const Projector& projector_;
  ScreenPosition middle_;
  double nearRingSquared_;
  double longestSquared_;
  std::optional<ScreenPosition> last_;
};

}  // namespace globeview
