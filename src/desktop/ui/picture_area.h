#pragma once

#include <QImage>
#include <QPointF>
#include <QSize>
#include <QWidget>
#include <optional>

#include "output/raster_surface.h"
#include "view/drawing.h"
#include "view/geodesy.h"

class QLabel;

namespace globeview {

// The picture of the globe beneath the window's controls: its pixels, their painting, and the
// readout of the place under the pointer. It works in device pixels, so one pixel of a line is one
// pixel of the screen on any scale, while its position and the pointer are in the window's pixels.
class PictureArea final : public QWidget {
  Q_OBJECT

 public:
  explicit PictureArea(QWidget* parent);

  // Twips per device pixel of the picture.
  double TwipsPerPixel() const;
  // The size in device pixels of a picture of `screen`.
  QSize PixelSize(const ScreenSize& screen) const;
  // Pixels for a picture of `screen`, the last picture's when the size is the same (the drawing
  // covers every pixel); none for an empty screen. std::bad_alloc when they cannot be had.
  Rgb32Pixels PixelsFor(const ScreenSize& screen);
  // The pixels now hold the picture of `view`: painted from now on, and read out under the pointer.
  void Show(const PictureView& view);
  // A new picture is about to be drawn; until it is shown, nothing is read off the old one.
  void ForgetView();

  // The readout for the pointer at `position` (this widget's pixels), or none off the earth's disc.
  // It lies at the bottom left, but never above `floor`.
  void ReadOut(QPointF position, int floor);
  void HideReadout();

  // The picture the last Show drew, in device pixels; null before the first.
  const QImage& Image() const { return image_; }

 signals:
  // The pointer moved over the picture without a button pressed.
  void PointerMoved(QPointF position);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QImage image_;
  // The view and screen the picture on the screen was drawn with; none before the first.
  std::optional<PictureView> view_;
  // The readout at the bottom left: longitude, latitude, bearing and distance under the pointer.
  QLabel* readout_;
};

}  // namespace globeview
