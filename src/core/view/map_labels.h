#pragma once

// The map's texts, placed once a picture in pixels: each is kept only where it lies wholly on the
// earth's disc and on the screen and overlaps no text placed before it, so the order in which
// they are offered is their priority. The ring distances come first, then the country names
// (larger countries first), the cities (capitals first) and last the locator grid's letters.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/places.h"
#include "system/drawing_surface.h"
#include "view/drawing.h"
#include "view/picture.h"
#include "view/projection.h"

namespace globeview {

inline constexpr Rgb kNameColour{255, 222, 160};
inline constexpr Rgb kCityColour{150, 210, 255};
inline constexpr Rgb kGridColour{70, 125, 185};
// The rings' distances and the bearing scale are in the rings' grey.
inline constexpr Rgb kRingTextColour = kGrid;
// Pixel sizes of the map's texts.
inline constexpr double kNameTextPixels = 14;
inline constexpr double kSmallTextPixels = 12;

// A text's room on the screen, pixels from the top left.
struct PixelBox {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
};

// Keeps the boxes placed so far. A box is taken when all of it lies within `radius` of the disc's
// middle and on a screen of `width` x `height`, and it overlaps none taken before.
class LabelPlacer {
 public:
  LabelPlacer(double middleX, double middleY, double radius, double width, double height);
  // Whether the box was taken.
  bool Take(const PixelBox& box);
  // Takes the box wherever it lies: one of the scale's own texts, which others keep clear of.
  void Reserve(const PixelBox& box);

 private:
  double middleX_, middleY_, radius_, width_, height_;
  std::vector<PixelBox> taken_;
};

// One text to draw, at its anchor in twips.
struct MapText {
  ScreenPosition at;
  std::string text;
  TextStyle style;
};

struct LabelPlan {
  std::vector<MapText> rings;   // the rings' distances
  std::vector<MapText> names;   // country names
  std::vector<MapText> cities;  // city names, each with its dot
  std::vector<ScreenPosition> dots;
  std::vector<MapText> fields;  // the locator fields' letters
};

// Which of the map's texts a picture shows, and what they name.
struct LabelSources {
  bool rings = false;  // the bearing scale's layer: the rings' distances, and room for its numbers
  const std::vector<CountryLabel>* countries = nullptr;
  const std::vector<City>* cities = nullptr;
  bool fields = false;
};

// The pixels from the 180-degree ring inwards that the bearing scale takes.
inline constexpr double kBearingBandPixels = 34;
// The radius of a city's dot, pixels.
inline constexpr double kCityDotPixels = 2;

// The texts of one picture, placed on first use and shared by the layers that draw them, so a
// name never lies over another layer's. Without the program's font there are none.
class MapLabels {
 public:
  explicit MapLabels(LabelSources sources) : sources_(sources) {}
  const LabelPlan& Plan(const Projector& projector) const;

 private:
  LabelSources sources_;
  mutable std::optional<LabelPlan> plan_;
};

// The rings' distances on the program's sphere: "5,004 km" for the first of the four.
std::string RingDistanceText(int ring);

}  // namespace globeview
