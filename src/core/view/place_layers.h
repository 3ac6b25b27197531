#pragma once

// The layers of the place files: the countries' borders, their names and the cities.

#include <memory>
#include <vector>

#include "data/places.h"
#include "view/line_breaker.h"
#include "view/map.h"
#include "view/map_labels.h"

namespace globeview {

inline constexpr Rgb kBorderColour{150, 120, 80};

// Every border as one-pixel pieces through the projection, broken near the antipode.
class BordersLayer final : public MapLayer {
 public:
  explicit BordersLayer(const PreparedLines& borders) : borders_(borders) {}
  std::vector<Rgb> Colours() const override;
  void Draw(const Projector& projector, DrawingSurface& surface) const override;

 private:
  const PreparedLines& borders_;
};

// The country names the map's labels placed.
class CountryNamesLayer final : public MapLayer {
 public:
  explicit CountryNamesLayer(std::shared_ptr<const MapLabels> labels)
      : labels_(std::move(labels)) {}
  std::vector<Rgb> Colours() const override;
  void Draw(const Projector& projector, DrawingSurface& surface) const override;

 private:
  std::shared_ptr<const MapLabels> labels_;
};

// A dot and the name of each city the map's labels placed.
class CitiesLayer final : public MapLayer {
 public:
  explicit CitiesLayer(std::shared_ptr<const MapLabels> labels) : labels_(std::move(labels)) {}
  std::vector<Rgb> Colours() const override;
  void Draw(const Projector& projector, DrawingSurface& surface) const override;

 private:
  std::shared_ptr<const MapLabels> labels_;
};

}  // namespace globeview
