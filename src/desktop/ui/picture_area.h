#pragma once

#include <QImage>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QWidget>
#include <optional>

#include "output/raster_surface.h"
#include "view/drawing.h"
#include "view/projection.h"
#include "view/readout.h"

class QLabel;

namespace globeview {

// The picture of the globe beneath the window's controls: its pixels, their painting, and the
// readouts of the target and of the place under the pointer. It works in device pixels, so one
// pixel of a line is one pixel of the screen on any scale, while its position and the pointer are
// in the window's pixels.
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
  // The pixels now hold the picture of `view`: painted from now on, read out under the pointer,
  // and its target, if any, read out above the pointer's line.
  void Show(const PictureView& view);
  // A new picture is about to be drawn; until it is shown, nothing is read off the old one.
  void ForgetView();
  // The view of the picture on the screen; none before the first, or while a new one is drawn.
  const std::optional<PictureView>& View() const { return view_; }
  // The place the picture shows at `position` (this widget's pixels); none off the earth's disc
  // or without a picture.
  std::optional<Place> PlaceAt(QPointF position) const;

  // The lowest the readouts may lie: they stay below the controls even on a short window.
  void SetReadoutFloor(int floor);
  // The readout for the pointer at `position`, or none off the earth's disc.
  void ReadOut(QPointF position);
  void HideReadout();
  // The antenna's line, above the target's: where it points, or why the rotator cannot be used;
  // an empty line hides it.
  void ShowAntennaLine(const QString& line);
  // The readout lines shown, the antenna's first, then the target's, one a line; empty when none is
  // shown.
  QString ReadoutLines() const;

  // The picture the last Show drew, in device pixels; null before the first.
  const QImage& Image() const { return image_; }

 signals:
  // The pointer moved over the picture without a button pressed.
  void PointerMoved(QPointF position);
  // The pointer left the picture: out of the window, or onto a control.
  void PointerLeft();
  // A button was pressed over the picture; a quick second press of any but the left button too.
  void PointerPressed(Qt::MouseButton button, QPointF position);
  // The left button was pressed twice in quick succession.
  void PointerDoubleClicked(QPointF position);
  // The wheel turned by whole notches, away from the user positive.
  void WheelTurned(int notches);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  ScreenPosition TwipsAt(QPointF position) const;
  // The pointer's line at the bottom left, the target's line right above it; each shown or not.
  void PlaceReadouts(bool withTarget, bool withPointer);

  QImage image_;
  // The view and screen the picture on the screen was drawn with, and its projection; none before
  // the first.
  std::optional<PictureView> view_;
  std::optional<Projector> projector_;
  // The pointer's readout: longitude, latitude, bearing, distance and locator under the pointer.
  QLabel* readout_;
  // The target's readout, with its long path.
  QLabel* targetReadout_;
  QLabel* antennaReadout_;
  int floor_ = 0;
  // Eighths of a degree the wheel turned short of a whole notch (fine-grained wheels and pads).
  int wheelRemainder_ = 0;
};

}  // namespace globeview
