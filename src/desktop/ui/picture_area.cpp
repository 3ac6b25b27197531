#include "ui/picture_area.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <new>
#include <string>

#include "system/drawing_surface.h"
#include "ui/controls.h"

namespace globeview {
namespace {

const QColor kWindowColour = Qt::black;

}  // namespace

PictureArea::PictureArea(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("picture"));
  // paintEvent covers every pixel, black where there is no picture.
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Moves without a button pressed drive the readout; a still pointer costs nothing.
  setMouseTracking(true);
  // Placed by its text, over the picture; the pointer's moves go through it to the picture.
  readout_ = static_cast<QLabel*>(MakeControl({ControlKind::Label, "Label4", "", {}}, *this));
  readout_->setAttribute(Qt::WA_TransparentForMouseEvents);
  readout_->hide();
}

double PictureArea::TwipsPerPixel() const {
  return kTwipsPerInch / (logicalDpiX() * devicePixelRatioF());
}

QSize PictureArea::PixelSize(const ScreenSize& screen) const {
  const double twipsPerPixel = TwipsPerPixel();
  return QSize(qRound(screen.width / twipsPerPixel), qRound(screen.height / twipsPerPixel));
}

Rgb32Pixels PictureArea::PixelsFor(const ScreenSize& screen) {
  const QSize pixels = PixelSize(screen);
  if (image_.size() != pixels) image_ = QImage(pixels, QImage::Format_RGB32);
  // QImage answers a failed allocation with a null image, not an exception.
  if (image_.isNull() && !pixels.isEmpty()) throw std::bad_alloc();
  if (image_.isNull()) return {};
  return Rgb32Pixels{image_.bits(), image_.bytesPerLine(), image_.width(), image_.height()};
}

void PictureArea::Show(const PictureView& view) {
  // Tells paintEvent how many device pixels make one of the widget's pixels.
  image_.setDevicePixelRatio(devicePixelRatioF());
  view_ = view;
  update();
}

void PictureArea::ForgetView() {
  view_.reset();
  HideReadout();
}

void PictureArea::ReadOut(QPointF position, int floor) {
  std::optional<std::string> text;
  if (view_) {
    const QPointF pixel = position * devicePixelRatioF();
    const double twipsPerPixel = view_->twipsPerPixel;
    text = ReadoutAt(*view_, {pixel.x() * twipsPerPixel, pixel.y() * twipsPerPixel});
  }
  if (!text) return HideReadout();
  readout_->setText(QString::fromStdString(*text));
  readout_->adjustSize();
  readout_->move(0, std::max(height() - readout_->height(), floor));
  readout_->show();
}

void PictureArea::HideReadout() {
  readout_->hide();
}

void PictureArea::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), kWindowColour);
  // The last picture stays until the next "Start" replaces it, whatever covered the window.
  if (!image_.isNull()) painter.drawImage(QPointF(0, 0), image_);
}

void PictureArea::mouseMoveEvent(QMouseEvent* event) {
  emit PointerMoved(event->position());
}

}  // namespace globeview
