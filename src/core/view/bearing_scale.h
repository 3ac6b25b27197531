#pragma once

// The bearing scale around the 180-degree ring and the rings' distances: ticks every 5 degrees
// of bearing (longer every 10) and the bearing every 30, drawn just inside the ring so they stay
// on the screen; each ring's distance where it crosses the vertical line above the middle.

#include <memory>
#include <vector>

#include "view/map.h"
#include "view/map_labels.h"

namespace globeview {

class BearingScaleLayer final : public MapLayer {
 public:
  explicit BearingScaleLayer(std::shared_ptr<const MapLabels> labels)
      : labels_(std::move(labels)) {}
  std::vector<Rgb> Colours() const override;
  void Draw(const Projector& projector, DrawingSurface& surface) const override;

 private:
  std::shared_ptr<const MapLabels> labels_;
};

}  // namespace globeview
