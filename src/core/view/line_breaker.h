#pragma once

// Lines through the projection (borders, the locator grid) drawn as straight pieces between
// neighbouring points. Near the antipode the projection tears: two points a little apart on the
// earth may lie on opposite sides of the disc. A piece is therefore left out when either end lies
// within kAntipodeMarginDegrees of the 180-degree ring, or when its ends lie more than a quarter of
// that ring's radius apart on the screen; nothing jumps across the disc.

#include <cstddef>
#include <optional>
#include <vector>

#include "data/places.h"
#include "view/picture.h"
#include "view/projection.h"

namespace globeview {

inline constexpr double kAntipodeMarginDegrees = 2;

struct ScreenSegment {
  ScreenPosition from;
  ScreenPosition to;
};

// Lines drawn in every picture, their points' vectors worked out once: one line after another,
// all the points, and for pictures below kFineLinesMagnification only those kCoarseStepDegrees
// or more from the point kept before them (a line's ends always kept).
inline constexpr double kFineLinesMagnification = 3;
inline constexpr double kCoarseStepDegrees = 0.25;
struct LinePoints {
  std::vector<EarthVector> points;
  std::vector<std::size_t> ends;  // one past each line's last point
};
struct PreparedLines {
  LinePoints fine;
  LinePoints coarse;
};
PreparedLines PrepareLines(const std::vector<Polyline>& lines);

class LineBreaker {
 public:
  explicit LineBreaker(const Projector& projector);
  // A new line begins: the next point joins nothing before it.
  void Start() { last_.reset(); }
  // The line's next point; the piece from the point before it, when one is to be drawn.
  std::optional<ScreenSegment> Next(Place place) { return NextAt(projector_.PositionOf(place)); }
  std::optional<ScreenSegment> Next(const EarthVector& place) {
    return NextAt(projector_.PositionOfVector(place));
  }
  // Every piece of the lines to be drawn, to `draw`, of the points the picture's magnification
  // needs.
  template <class Draw>
  void Trace(const PreparedLines& prepared, Draw draw) {
    const bool fine = projector_.View().magnification >= kFineLinesMagnification;
    const LinePoints& lines = fine ? prepared.fine : prepared.coarse;
    std::size_t k = 0;
    for (const std::size_t end : lines.ends) {
      Start();
      for (; k < end; ++k) {
        if (const std::optional<ScreenSegment> piece = Next(lines.points[k])) draw(*piece);
      }
    }
  }

 private:
  std::optional<ScreenSegment> NextAt(ScreenPosition at);

  const Projector& projector_;
  ScreenPosition middle_;
  double nearRingSquared_;
  double longestSquared_;
  std::optional<ScreenPosition> last_;
};

}  // namespace globeview
