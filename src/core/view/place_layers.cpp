#include "view/place_layers.h"

#include <array>
#include <cmath>
#include <optional>

#include "view/grid_layer.h"
#include "view/line_breaker.h"

namespace globeview {

namespace {

// A border's pieces are drawn once they are this long, pixels.
constexpr double kShortestPiecePixels = 1.5;

}  // namespace

std::vector<Rgb> BordersLayer::Colours() const {
  return {kBorderColour};
}

void BordersLayer::Draw(const Projector& projector, DrawingSurface& surface) const {
  surface.DrawWidth(1);
  // Pieces shorter than a pixel are joined into one line, drawn once it is that long.
  const double shortest = kShortestPiecePixels * projector.View().twipsPerPixel;
  const double shortestSquared = shortest * shortest;
  LineBreaker breaker(projector);
  std::optional<ScreenPosition> from;
  ScreenPosition last;
  breaker.Trace(borders_, [&](const ScreenSegment& piece) {
    if (!from || piece.from.x != last.x || piece.from.y != last.y) from = piece.from;
    last = piece.to;
    const double dx = last.x - from->x;
    const double dy = last.y - from->y;
    if (dx * dx + dy * dy < shortestSquared) return;
    surface.Line(static_cast<float>(from->x), static_cast<float>(from->y),
                 static_cast<float>(last.x), static_cast<float>(last.y));
    from = last;
  });
}

std::vector<Rgb> CountryNamesLayer::Colours() const {
  return {kNameColour};
}

void CountryNamesLayer::Draw(const Projector& projector, DrawingSurface& surface) const {
  DrawTexts(labels_->Plan(projector).names, surface);
}

std::vector<Rgb> CitiesLayer::Colours() const {
  return {kCityColour};
}

void CitiesLayer::Draw(const Projector& projector, DrawingSurface& surface) const {
  const LabelPlan& plan = labels_->Plan(projector);
  const auto r = static_cast<float>(kCityDotPixels * projector.View().twipsPerPixel);
  for (const ScreenPosition& dot : plan.dots) {
    const auto x = static_cast<float>(dot.x);
    const auto y = static_cast<float>(dot.y);
    const std::array<SurfacePoint, 4> square{
        {{x - r, y - r}, {x + r, y - r}, {x + r, y + r}, {x - r, y + r}}};
    surface.Polygon(square, kCityColour);
  }
  DrawTexts(plan.cities, surface);
}

}  // namespace globeview
