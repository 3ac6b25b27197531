#pragma once

#include <optional>

#include "data/point_table.h"
#include "system/desktop.h"
#include "system/drawing_surface.h"
#include "view/map.h"
#include "view/picture.h"

namespace globeview {

inline constexpr Rgb kCoastline{255, 255, 255};
inline constexpr Rgb kGrid{155, 155, 155};

// The first steps of a press of Start: busy pointer, one event pass, black background, maximised
// window. Returns the screen size in twips, read once per drawing.
ScreenSize PrepareScreen(Desktop& desktop, DrawingSurface& surface);

// Whether the coastline layer projects its table for each picture, as Start does, or finds it
// already projected about the picture's centre (to time the drawing alone).
enum class TableProjection { kAfresh, kDone };

// The coastlines: every pair of neighbouring usable entries of the table joined by a one-pixel
// line, unless the two lie half the screen wide or more apart (a segment that wraps round the far
// side of the globe).
class CoastlineLayer final : public MapLayer {
 public:
  explicit CoastlineLayer(PointTable& table, TableProjection projection = TableProjection::kAfresh);
  std::vector<Rgb> Colours() const override;
  void Draw(const Projector& projector, DrawingSurface& surface) const override;

 private:
  PointTable& table_;
  TableProjection projection_;
};

// The four range rings, at 45, 90, 135 and 180 degrees from the centre.
class RingsLayer final : public MapLayer {
 public:
  std::vector<Rgb> Colours() const override;
  void Draw(const Projector& projector, DrawingSurface& surface) const override;
};

// The cross through the middle: a vertical line the screen's height, and a bar as long, so the
// cross is square on any screen shape.
class CrossLayer final : public MapLayer {
 public:
  std::vector<Rgb> Colours() const override;
  void Draw(const Projector& projector, DrawingSurface& surface) const override;
};

// The designed picture's layers (coastlines, rings, cross) and the view's target, if any, over
// them.
MapLayers GlobeLayers(PointTable& table, const PictureView& view,
                      TableProjection projection = TableProjection::kAfresh);

// The designed picture with the view's target, drawn on the surface with the background colour
// it was given (PrepareScreen gives the window's); the pointer is left to the caller.
void DrawGlobe(PointTable& table, const PictureView& view, DrawingSurface& surface);

// The same over a table whose az and el are already set about the view's centre.
void DrawProjectedGlobe(PointTable& table, const PictureView& view, DrawingSurface& surface);

}  // namespace globeview
