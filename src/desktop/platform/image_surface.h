#pragma once

#include <QImage>
#include <memory>

#include "system/drawing_surface.h"

namespace globeview {

// A DrawingSurface that paints into an image: the window's backing picture, or the PNG of
// globeview-render. One pixel of the image is `twipsPerPixel` twips (15 at 96 DPI); on a high-DPI
// screen the image has device pixels and twipsPerPixel = 1440 / (logical DPI x device pixel ratio),
// so lines stay one device pixel wide and sharp.
class ImageSurface final : public DrawingSurface {
 public:
  ImageSurface(QImage& image, double twipsPerPixel);
  ~ImageSurface() override;
  ImageSurface(const ImageSurface&) = delete;
  ImageSurface& operator=(const ImageSurface&) = delete;

  void BackColor(Rgb colour) override;
  void ForeColor(Rgb colour) override;
  void DrawWidth(int pixels) override;
  void Cls() override;
  void Line(float x1, float y1, float x2, float y2) override;
  void Circle(float x, float y, float radius, Rgb colour) override;

  // Puts everything drawn so far into the image. Called by the destructor too.
  void Flush();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace globeview
