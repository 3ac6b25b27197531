#pragma once

#include "data/point_table.h"
#include "system/desktop.h"
#include "system/drawing_surface.h"
#include "view/picture.h"

namespace globeview {

inline constexpr Rgb kBackground{0, 0, 0};
inline constexpr Rgb kCoastline{255, 255, 255};
inline constexpr Rgb kGrid{155, 155, 155};

// The first steps of a press of Start: busy pointer, one event pass, black background, maximised
// window. Returns the screen size in twips, read once per drawing.
ScreenSize PrepareScreen(Desktop& desktop, DrawingSurface& surface);

// The picture: projects every usable entry of the table about the view's centre, then clears the
// surface and draws the coastlines, the four range rings and the cross, on a screen of the view's
// size, and the view's target with its paths over them. The surface keeps the background colour
// it was given (PrepareScreen gives the window's); the pointer is left to the caller.
void DrawGlobe(PointTable& table, const PictureView& view, DrawingSurface& surface);

// DrawGlobe's drawing alone, over a table whose az and el are already set: the screen positions,
// then the picture.
void DrawProjectedGlobe(PointTable& table, const PictureView& view, DrawingSurface& surface);

}  // namespace globeview
