#pragma once

// The map as a stack of layers over one projector: each layer knows what it shows and draws it
// through the projector on a surface; the map draws the stack in order, bottom first. Nothing but
// a layer knows what it draws.

#include <memory>
#include <span>
#include <vector>

#include "system/drawing_surface.h"
#include "view/picture.h"
#include "view/projection.h"

namespace globeview {

// The colour of the ground every map is drawn on.
inline constexpr Rgb kBackground{0, 0, 0};

class MapLayer {
 public:
  virtual ~MapLayer() = default;
  // The colours the layer draws in, its pen first: the map sets the pen before the layer draws,
  // and a picture's palette is made of these. A layer of several colours sets the others itself.
  virtual std::vector<Rgb> Colours() const = 0;
  // Draws the layer. The surface's width and pen may be as the layer below left them.
  virtual void Draw(const Projector& projector, DrawingSurface& surface) const = 0;
};

using MapLayers = std::vector<std::unique_ptr<const MapLayer>>;

// The picture: the surface cleared to its background colour (the one the caller gave it), then
// every layer in order through one projector of the view. A layer's pen is set only when it
// differs from the one the layer below drew in, as the designed picture sets each colour once.
void DrawMap(const MapLayers& layers, const PictureView& view, DrawingSurface& surface);

// The colours of a picture of these layers: the background, then each layer's in order, each
// colour once.
std::vector<Rgb> PaletteOf(const MapLayers& layers);

}  // namespace globeview
