#pragma once

// The Maidenhead locator grid: the field lines every 20 degrees of longitude and 10 of latitude,
// each field's two letters at its middle, and from magnification 4 the squares' lines, 2 by 1
// degrees, all drawn as curves through the projection.

#include <memory>
#include <string>
#include <vector>

#include "view/line_breaker.h"
#include "view/map.h"
#include "view/map_labels.h"

namespace globeview {

// From this magnification on, the squares' lines are drawn too.
inline constexpr double kGridSquaresMagnification = 4;

// A field of the grid: its middle and its letters, longitude's first ("PM").
struct GridField {
  Place middle;
  std::string letters;
};

// The 324 fields, west to east within each row, south to north.
const std::vector<GridField>& GridFields();

// The squares' lines are drawn in a dimmer colour than the fields'.
inline constexpr Rgb kGridSquareColour{40, 70, 105};

// The grid's lines on the picture, as LineBreaker leaves them: every piece short and clear of
// the antipode. The squares' (none below kGridSquaresMagnification) apart from the fields'.
struct GridPieces {
  std::vector<ScreenSegment> squares;
  std::vector<ScreenSegment> fields;
};
GridPieces GridLines(const Projector& projector);

class GridLayer final : public MapLayer {
 public:
  explicit GridLayer(std::shared_ptr<const MapLabels> labels) : labels_(std::move(labels)) {}
  std::vector<Rgb> Colours() const override;
  void Draw(const Projector& projector, DrawingSurface& surface) const override;

 private:
  std::shared_ptr<const MapLabels> labels_;
};

// Draws each of the texts.
void DrawTexts(const std::vector<MapText>& texts, DrawingSurface& surface);

}  // namespace globeview
