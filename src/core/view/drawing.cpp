#include "view/drawing.h"

#include "view/projection.h"
#include "view/target.h"

namespace globeview {

namespace {

// Four rings, at 45, 90, 135 and 180 degrees from the centre.
constexpr int kRingCount = 4;
constexpr int kCoastlineWidth = 1;

}  // namespace

ScreenSize PrepareScreen(Desktop& desktop, DrawingSurface& surface) {
  desktop.SetMousePointer(MousePointer::Busy);
  desktop.DoEvents();
  surface.BackColor(kBackground);
  desktop.MaximiseWindow();
  return {desktop.ScreenWidth(), desktop.ScreenHeight()};
}

void DrawGlobe(PointTable& table, const PictureView& view, DrawingSurface& surface) {
  Project(table, view.centre);
  DrawProjectedGlobe(table, view, surface);
}

void DrawProjectedGlobe(PointTable& table, const PictureView& view, DrawingSurface& surface) {
  const double w = view.screen.width;
  const double h = view.screen.height;

  surface.ForeColor(kCoastline);
  surface.Cls();

  const double s = view.magnification * (1.0 / 2.0);
  ComputeScreenPositions(table, view);

  // A segment half the screen wide or longer is one that wraps round the far side of the globe
  // (its ends lie near the outer ring on opposite sides), not a piece of coastline.
  const double maxLengthSquared = (w * w) / 4;
  const std::uint8_t* usable = table.Usable().data();
  const double* sx = table.Sx().data();
  const double* sy = table.Sy().data();
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

  const double ratio = h / w;
  surface.ForeColor(kGrid);
  const auto cx = static_cast<float>(w / 2);
  const auto cy = static_cast<float>(h / 2);
  for (int n = 1; n <= kRingCount; ++n) {
    surface.Circle(cx, cy, static_cast<float>((h * n * s) / 4), kGrid);
  }
  surface.Line(cx, static_cast<float>((0 * h) / 2), cx, static_cast<float>((2 * h) / 2));
  // The bar is as long as the screen is high, so the cross is square on any screen shape.
  surface.Line(static_cast<float>(((1 - ratio) * w) / 2), cy,
               static_cast<float>(((1 + ratio) * w) / 2), cy);
  if (view.target) DrawTarget(view, *view.target, surface);
}

}  // namespace globeview
