#include "view/drawing.h"

#include "system/angles.h"
#include "view/layer_choice.h"
#include "view/projection.h"

namespace globeview {

namespace {

// Four rings, 45 degrees of arc apart.
constexpr int kRingCount = 4;
constexpr double kRingStepDegrees = 45;
constexpr int kCoastlineWidth = 1;

}  // namespace

ScreenSize PrepareScreen(Desktop& desktop, DrawingSurface& surface) {
  desktop.SetMousePointer(MousePointer::Busy);
  desktop.DoEvents();
  surface.BackColor(kBackground);
  desktop.MaximiseWindow();
  return {desktop.ScreenWidth(), desktop.ScreenHeight()};
}

CoastlineLayer::CoastlineLayer(PointTable& table, TableProjection projection)
    : table_(table), projection_(projection) {}

std::vector<Rgb> CoastlineLayer::Colours() const {
  return {kCoastline};
}

void CoastlineLayer::Draw(const Projector& projector, DrawingSurface& surface) const {
  if (projection_ == TableProjection::kAfresh) {
    projector.Project(table_);
  } else {
    projector.PlaceTable(table_);
  }
  // A segment half the screen wide or longer is one that wraps round the far side of the globe
  // (its ends lie near the outer ring on opposite sides), not a piece of coastline.
  const double w = projector.View().screen.width;
  const double maxLengthSquared = (w * w) / 4;
  const std::uint8_t* usable = table_.Usable().data();
  const double* sx = table_.Sx().data();
  const double* sy = table_.Sy().data();
  // An entry that is valid but unusable has no position of its own, so it joins neither
  // neighbour; "usable" already implies "valid".
  for (int i = 1; i < kPointCount; ++i) {
    if (!usable[i] || !usable[i + 1]) continue;
    surface.DrawWidth(kCoastlineWidth);
    const double dx = sx[i] - sx[i + 1];
    const double dy = sy[i] - sy[i + 1];
    if (dx * dx + dy * dy < maxLengthSquared) {
      surface.Line(static_cast<float>(sx[i]), static_cast<float>(sy[i]),
                   static_cast<float>(sx[i + 1]), static_cast<float>(sy[i + 1]));
    }
  }
}

std::vector<Rgb> RingsLayer::Colours() const {
  return {kGrid};
}

void RingsLayer::Draw(const Projector& projector, DrawingSurface& surface) const {
  const ScreenPosition middle = projector.Middle();
  for (int n = 1; n <= kRingCount; ++n) {
    surface.Circle(static_cast<float>(middle.x), static_cast<float>(middle.y),
                   static_cast<float>(projector.RingRadius(n * kRingStepDegrees)), kGrid);
  }
}

std::vector<Rgb> CrossLayer::Colours() const {
  return {kGrid};
}

void CrossLayer::Draw(const Projector& projector, DrawingSurface& surface) const {
  // Across the whole screen, whatever the magnification: from the screen's own size.
  const double w = projector.View().screen.width;
  const double h = projector.View().screen.height;
  const double ratio = h / w;
  const ScreenPosition middle = projector.Middle();
  const auto cx = static_cast<float>(middle.x);
  const auto cy = static_cast<float>(middle.y);
  surface.Line(cx, static_cast<float>((0 * h) / 2), cx, static_cast<float>((2 * h) / 2));
  surface.Line(static_cast<float>(((1 - ratio) * w) / 2), cy,
               static_cast<float>(((1 + ratio) * w) / 2), cy);
}

MapLayers GlobeLayers(PointTable& table, const PictureView& view, TableProjection projection) {
  MapContent content{&table, projection};
  return BuildMap(LayerChoice::Designed(), content, view);
}

void DrawGlobe(PointTable& table, const PictureView& view, DrawingSurface& surface) {
  DrawMap(GlobeLayers(table, view), view, surface);
}

void DrawProjectedGlobe(PointTable& table, const PictureView& view, DrawingSurface& surface) {
  DrawMap(GlobeLayers(table, view, TableProjection::kDone), view, surface);
}

}  // namespace globeview
