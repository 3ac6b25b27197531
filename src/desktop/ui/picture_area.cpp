#include "ui/picture_area.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <new>
#include <string>

#include "system/drawing_surface.h"
#include "system/utc_time.h"
#include "ui/controls.h"
#include "view/projection.h"
#include "view/readout.h"

namespace globeview {
namespace {

const QColor kWindowColour = Qt::black;
// A wheel's notch, in the eighths of a degree Qt counts its turn in.
constexpr int kWheelNotch = 120;

// A readout line over the picture; the pointer's moves and clicks go through it to the picture.
QLabel* MakeReadout(const char* name, QWidget& parent) {
  auto* label = static_cast<QLabel*>(MakeControl({ControlKind::Label, name, "", {}}, parent));
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  label->hide();
  return label;
}

}  // namespace

PictureArea::PictureArea(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("picture"));
  // paintEvent covers every pixel, black where there is no picture.
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Moves without a button pressed drive the readout; a still pointer costs nothing.
  setMouseTracking(true);
  readout_ = MakeReadout("Label4", *this);
  targetReadout_ = MakeReadout("Label5", *this);
  antennaReadout_ = MakeReadout("Label6", *this);
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
  projector_.emplace(view);
  if (view.target) {
    const Place target = *view.target;
    targetReadout_->setText(QString::fromStdString(
        TargetReadoutText(target, HeadingFromCentre(view, target), UtcNow())));
    targetReadout_->adjustSize();
  }
  PlaceReadouts(view.target.has_value(), !readout_->isHidden());
  update();
}

void PictureArea::ForgetView() {
  view_.reset();
  projector_.reset();
  HideReadout();
  targetReadout_->hide();
}

ScreenPosition PictureArea::TwipsAt(QPointF position) const {
  const QPointF pixel = position * devicePixelRatioF();
  const double twipsPerPixel = view_ ? view_->twipsPerPixel : TwipsPerPixel();
  return {pixel.x() * twipsPerPixel, pixel.y() * twipsPerPixel};
}

std::optional<Place> PictureArea::PlaceAt(QPointF position) const {
  if (!projector_) return std::nullopt;
  return projector_->PlaceAt(TwipsAt(position));
}

void PictureArea::SetReadoutFloor(int floor) {
  floor_ = floor;
  PlaceReadouts(!targetReadout_->isHidden(), !readout_->isHidden());
}

void PictureArea::ReadOut(QPointF position) {
  std::optional<std::string> text;
  if (projector_) text = PointerReadoutAt(*projector_, TwipsAt(position));
  if (!text) return HideReadout();
  readout_->setText(QString::fromStdString(*text));
  readout_->adjustSize();
  PlaceReadouts(!targetReadout_->isHidden(), true);
}

void PictureArea::HideReadout() {
  readout_->hide();
}

void PictureArea::ShowAntennaLine(const QString& line) {
  antennaReadout_->setText(line);
  antennaReadout_->adjustSize();
  antennaReadout_->hide();
  PlaceReadouts(!targetReadout_->isHidden(), !readout_->isHidden());
}

QString PictureArea::ReadoutLines() const {
  QStringList lines;
  for (const QLabel* label : {antennaReadout_, targetReadout_, readout_}) {
    if (!label->isHidden()) lines << label->text();
  }
  return lines.join(QLatin1Char('\n'));
}

void PictureArea::PlaceReadouts(bool withTarget, bool withPointer) {
  // Both lines are one line of the same font; the target's stays put while the pointer's comes
  // and goes.
  const int targetLine = withTarget ? targetReadout_->height() : 0;
  const int pointerLine = withPointer ? readout_->height() : targetLine;
  const bool withAntenna = !antennaReadout_->text().isEmpty();
  const int antennaLine = withAntenna ? antennaReadout_->height() : 0;
  const int pointerTop = std::max(height() - pointerLine, floor_ + antennaLine + targetLine);
  // Moved while hidden, then shown: a label moved while shown under the controls (where a new one
  // lies) leaves the controls unpainted on X11.
  readout_->move(0, pointerTop);
  targetReadout_->move(0, pointerTop - targetLine);
  antennaReadout_->move(0, pointerTop - targetLine - antennaLine);
  readout_->setVisible(withPointer);
  targetReadout_->setVisible(withTarget);
  antennaReadout_->setVisible(withAntenna);
}

void PictureArea::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), kWindowColour);
  // The last picture stays until the next "Start" replaces it, whatever covered the window.
  if (!image_.isNull()) painter.drawImage(QPointF(0, 0), image_);
}

void PictureArea::resizeEvent(QResizeEvent*) {
  PlaceReadouts(!targetReadout_->isHidden(), !readout_->isHidden());
}

void PictureArea::mouseMoveEvent(QMouseEvent* event) {
  emit PointerMoved(event->position());
}

void PictureArea::mousePressEvent(QMouseEvent* event) {
  emit PointerPressed(event->button(), event->position());
}

void PictureArea::mouseDoubleClickEvent(QMouseEvent* event) {
  // Qt delivers the second of two quick presses as a double-click: for any other button it is
  // one more press.
  if (event->button() != Qt::LeftButton) return mousePressEvent(event);
  emit PointerDoubleClicked(event->position());
}

void PictureArea::wheelEvent(QWheelEvent* event) {
  wheelRemainder_ += event->angleDelta().y();
  const int notches = wheelRemainder_ / kWheelNotch;
  wheelRemainder_ -= notches * kWheelNotch;
  if (notches != 0) emit WheelTurned(notches);
}

void PictureArea::leaveEvent(QEvent*) {
  emit PointerLeft();
}

}  // namespace globeview
