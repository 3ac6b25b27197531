#include "view/place_layers.h"

#include <array>

#include "view/grid_layer.h"
#include "view/line_breaker.h"

namespace globeview {

std::vector<Rgb> BordersLayer::Colours() const {
  return {kBorderColour};
}

void BordersLayer::Draw(const Projector& projector, DrawingSurface& surface) const {
  surface.DrawWidth(1);
  LineBreaker breaker(projector);
  for (const Polyline& border : borders_) {
    breaker.Start();
    for (const LonLat& point : border) {
      if (const std::optional<ScreenSegment> piece = breaker.Next({point.lon, point.lat})) {
        surface.Line(static_cast<float>(piece->from.x), static_cast<float>(piece->from.y),
                     static_cast<float>(piece->to.x), static_cast<float>(piece->to.y));
      }
    }
  }
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
