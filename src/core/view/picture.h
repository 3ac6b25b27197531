#pragma once

#include <optional>

#include "system/drawing_surface.h"

namespace globeview {

// A place on the earth in degrees: longitude east positive, latitude north positive (-90..90).
struct Place {
  double lon = 0;
  double lat = 0;
};

// A position on the screen in twips from the top left, y downwards.
struct ScreenPosition {
  double x = 0;
  double y = 0;
};

// The screen's size in twips.
struct ScreenSize {
  double width = 0;
  double height = 0;
};

// One picture: the view it shows and the screen it fills. The drawing, the projection of a single
// place and the readout all take it whole.
struct PictureView {
  Place centre;              // normalised: lon 0..360, lat -90..90, degrees
  double magnification = 1;  // 1..10
  // The screen in twips, as the desktop reports it; the picture is drawn to this size.
  ScreenSize screen;
  // Of the surface the picture is drawn on: its pixel size and the pixels of a readout.
  double twipsPerPixel = kTwipsPerPixelAt96Dpi;
  // A place the user aimed at, drawn over the picture with its short and long paths; none most
  // of the time.
  std::optional<Place> target = std::nullopt;

  // A screen of whole pixels, of twipsPerPixel twips each.
  static PictureView OfPixels(Place centre, double magnification, int widthPixels, int heightPixels,
                              double twipsPerPixel = kTwipsPerPixelAt96Dpi) {
    return {centre,
            magnification,
            {widthPixels * twipsPerPixel, heightPixels * twipsPerPixel},
            twipsPerPixel};
  }
  // The screen in pixels of the surface, to the nearest pixel.
  int WidthPixels() const { return ToPixels(screen.width); }
  int HeightPixels() const { return ToPixels(screen.height); }

 private:
  int ToPixels(double twips) const { return static_cast<int>(twips / twipsPerPixel + 0.5); }
};

}  // namespace globeview
