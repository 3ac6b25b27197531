#pragma once

#include "data/point_table.h"
#include "system/desktop.h"
#include "system/drawing_surface.h"

namespace globeview {

inline constexpr Rgb kBackground{0, 0, 0};
inline constexpr Rgb kCoastline{255, 255, 255};
inline constexpr Rgb kGrid{155, 155, 155};

// The screen size in twips, read once per drawing.
struct ScreenSize {
  double width = 0;
  double height = 0;
};

// Busy pointer, one event pass, black background, maximised window; returns the screen size.
ScreenSize PrepareScreen(Desktop& desktop, DrawingSurface& surface);

// Clears and draws the picture from the projected table: coastlines, the four range rings, the
// cross; then the default pointer again. c1 is the normalised magnification.
void DrawPicture(PointTable& table, double c1, ScreenSize screen, DrawingSurface& surface,
                 Desktop& desktop);

}  // namespace globeview
