#include "ui/controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include "system/drawing_surface.h"

namespace globeview {
namespace {

const QColor kLabelBackground = Qt::black;
const QColor kLabelTextColour = Qt::white;

QLabel* MakeLabel(const QString& caption, QWidget& parent) {
  auto* label = new QLabel(caption, &parent);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // Opaque, so a label stays legible over the picture.
  QPalette palette = label->palette();
  palette.setColor(QPalette::Window, kLabelBackground);
  palette.setColor(QPalette::WindowText, kLabelTextColour);
  label->setPalette(palette);
  label->setAutoFillBackground(true);
  return label;
}

QPushButton* MakeButton(const QString& caption, QWidget& parent) {
  auto* button = new QPushButton(caption, &parent);
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

}  // namespace

int TwipsToPixelsX(const QWidget& widget, int twips) {
  return qRound(twips / (kTwipsPerInch / widget.logicalDpiX()));
}

int TwipsToPixelsY(const QWidget& widget, int twips) {
  return qRound(twips / (kTwipsPerInch / widget.logicalDpiY()));
}

QWidget* MakeControl(const ControlDesign& design, QWidget& parent) {
  const QString caption = QString::fromUtf8(design.caption);
  QWidget* control = nullptr;
  switch (design.kind) {
    case ControlKind::Field:
      control = new QLineEdit(caption, &parent);
      break;
    case ControlKind::Label:
      control = MakeLabel(caption, parent);
      break;
    case ControlKind::Button:
      control = MakeButton(caption, parent);
      break;
  }
  control->setObjectName(QString::fromUtf8(design.name));
  const TwipsRect& r = design.rect;
  control->setGeometry(TwipsToPixelsX(parent, r.left), TwipsToPixelsY(parent, r.top),
                       TwipsToPixelsX(parent, r.width), TwipsToPixelsY(parent, r.height));
  return control;
}

}  // namespace globeview
