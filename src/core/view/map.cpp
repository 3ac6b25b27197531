#include "view/map.h"

#include <algorithm>
#include <optional>

namespace globeview {

void DrawMap(const MapLayers& layers, const PictureView& view, DrawingSurface& surface) {
  const Projector projector(view);
  // The pen of the layer below, when that layer drew in its pen alone.
  std::optional<Rgb> pen;
  bool cleared = false;
  for (const auto& layer : layers) {
    const std::vector<Rgb> colours = layer->Colours();
    if (!colours.empty() && pen != colours.front()) surface.ForeColor(colours.front());
    // The pen is set before the surface is cleared, as the designed picture does it.
    if (!cleared) surface.Cls();
    cleared = true;
    layer->Draw(projector, surface);
    pen = colours.size() == 1 ? std::optional(colours.front()) : std::nullopt;
  }
  if (!cleared) surface.Cls();
}

std::vector<Rgb> PaletteOf(const MapLayers& layers) {
  std::vector<Rgb> palette{kBackground};
  for (const auto& layer : layers) {
    for (const Rgb& colour : layer->Colours()) {
      if (std::find(palette.begin(), palette.end(), colour) == palette.end()) {
        palette.push_back(colour);
      }
    }
  }
  return palette;
}

}  // namespace globeview
