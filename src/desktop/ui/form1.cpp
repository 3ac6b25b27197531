#include "ui/form1.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "data/coastline.h"
#include "data/locations.h"
#include "data/settings_file.h"
#include "output/raster_surface.h"
#include "system/application.h"
#include "system/error_report.h"
#include "system/files.h"
#include "platform/qt_desktop.h"
#include "platform/qt_message_box.h"
#include "platform/text_field.h"
#include "view/drawing.h"

namespace globeview {

namespace {

// Left, top, width and height of a control in twips, from the top left of the drawing area.
struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

// The fields form a column, each overlapping the next by 30 twips, with their labels to the right
// and the two buttons below.
constexpr TwipsRect kText1Rect{0, 0, 735, 270};
constexpr TwipsRect kText2Rect{0, 240, 735, 270};
constexpr TwipsRect kLongitudeLabelRect{840, 0, 615, 255};
constexpr TwipsRect kLatitudeLabelRect{840, 240, 615, 255};
constexpr TwipsRect kMagnificationLabelRect{840, 480, 495, 255};
constexpr TwipsRect kStartRect{0, 720, 735, 375};
constexpr TwipsRect kText3Rect{0, 480, 735, 270};
constexpr TwipsRect kEndRect{0, 1080, 735, 375};
// The window's size before it is maximised.
constexpr int kDesignWidthTwips = 4680;
constexpr int kDesignHeightTwips = 3090;

const QColor kWindowColour = Qt::black;
const QColor kLabelTextColour = Qt::white;

double TwipsPerPixel(int logicalDpi) {
  return kTwipsPerInch / logicalDpi;
}

QRect ToPixels(const TwipsRect& r, double twipsPerPixelX, double twipsPerPixelY) {
  return QRect(qRound(r.left / twipsPerPixelX), qRound(r.top / twipsPerPixelY),
               qRound(r.width / twipsPerPixelX), qRound(r.height / twipsPerPixelY));
}

}  // namespace

Form1::Form1(Form1Services services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)) {
  if (services_.desktop == nullptr) {
    ownDesktop_ = std::make_unique<QtDesktop>(*this);
    services_.desktop = ownDesktop_.get();
  }
  if (services_.messageBox == nullptr) {
    ownMessageBox_ = std::make_unique<QtMessageBox>(this);
    services_.messageBox = ownMessageBox_.get();
  }
  if (!services_.files) services_.files = LocateFiles();

  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Form1"));
  // paintEvent covers every pixel of the window, black where there is no picture.
  setAttribute(Qt::WA_OpaquePaintEvent);

  const double tppX = TwipsPerPixel(logicalDpiX());
  const double tppY = TwipsPerPixel(logicalDpiY());
  resize(qRound(kDesignWidthTwips / tppX), qRound(kDesignHeightTwips / tppY));

  auto makeField = [&](const char* name, const TwipsRect& rect) {
    auto* field = new QLineEdit(QString::fromUtf8(name), this);
    field->setObjectName(QString::fromUtf8(name));
    field->setGeometry(ToPixels(rect, tppX, tppY));
    return field;
  };
  auto makeLabel = [&](const char* name, const char* caption, const TwipsRect& rect) {
    auto* label = new QLabel(QString::fromUtf8(caption), this);
    label->setObjectName(QString::fromUtf8(name));
    label->setGeometry(ToPixels(rect, tppX, tppY));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Opaque, so a label stays legible over the picture.
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, kWindowColour);
    palette.setColor(QPalette::WindowText, kLabelTextColour);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
    return label;
  };
  auto makeButton = [&](const char* name, const char* caption, const TwipsRect& rect) {
    auto* button = new QPushButton(QString::fromUtf8(caption), this);
    button->setObjectName(QString::fromUtf8(name));
    button->setGeometry(ToPixels(rect, tppX, tppY));
    // Enter and Esc press neither button.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
  };

  // Created in tab order, which is also the order of the design.
  Text1 = makeField("Text1", kText1Rect);
  Text2 = makeField("Text2", kText2Rect);
  経度 = makeLabel("経度", "経度", kLongitudeLabelRect);
  Label2 = makeLabel("Label2", "緯度", kLatitudeLabelRect);
  Label3 = makeLabel("Label3", "倍率", kMagnificationLabelRect);
  Command1 = makeButton("Command1", "Start", kStartRect);
  Text3 = makeField("Text3", kText3Rect);
  Command2 = makeButton("Command2", "End", kEndRect);
  // Placed by its text, over the picture; the pointer's moves go through it to the window.
  Label4 = makeLabel("Label4", "", {});
  Label4->setAttribute(Qt::WA_TransparentForMouseEvents);
  Label4->hide();
  // Moves without a button pressed drive the readout; a still pointer costs nothing.
  setMouseTracking(true);

  setTabOrder(Text1, Text2);
  setTabOrder(Text2, Command1);
  setTabOrder(Command1, Text3);
  setTabOrder(Text3, Command2);
  Text1->setFocus();

  // textChanged, not textEdited: an assignment by the program changes the variable too.
  connect(Text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);
  connect(Text2, &QLineEdit::textChanged, this, &Form1::Text2_Change);
  connect(Text3, &QLineEdit::textChanged, this, &Form1::Text3_Change);
  connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
}

Form1::~Form1() = default;

void Form1::Form_Load() {
  services_.desktop->MaximiseWindow();
  setWindowFlag(Qt::FramelessWindowHint, true);
  const std::string coastline = FindFile(services_.files->coastline);
  try {
    const LoadReport report = LoadCoastline(coastline, table);
    if (!report.notice.empty()) std::fprintf(stderr, "%s\n", report.notice.c_str());
  } catch (const FileError& error) {
    ReportRuntimeError(error);
  }
  const SettingsRead settings = ReadSettings(FindFile(services_.files->settings));
  if (!settings.notice.empty()) std::fprintf(stderr, "%s\n", settings.notice.c_str());
  view = ViewValues{settings.a1, settings.b1, settings.c1};
  SetFieldText(*Text1, view.a1.ToText());
  SetFieldText(*Text2, view.b1.ToText());
  SetFieldText(*Text3, view.c1.ToText());
}

void Form1::Text1_Change() {
  view.a1 = FieldText(*Text1);
  SetFieldText(*Text1, view.a1.ToText());
}

void Form1::Text2_Change() {
  view.b1 = FieldText(*Text2);
  SetFieldText(*Text2, view.b1.ToText());
}

void Form1::Text3_Change() {
  view.c1 = FieldText(*Text3);
  SetFieldText(*Text3, view.c1.ToText());
}

void Form1::Command1_Click() {
  if (services_.previousInstanceRunning) EndProgram(0);

  const std::vector<std::string> messages =
      Validate(FieldText(*Text1), FieldText(*Text2), FieldText(*Text3));
  for (const std::string& message : messages) services_.messageBox->Show(message);
  // A value that is not a number can be neither normalised nor drawn; the fields keep it for the
  // user to correct.
  if (!messages.empty() || !Normalise(view)) return;

  Desktop& desktop = *services_.desktop;
  ForgetReadoutView();
  // The surface gets the picture's pixels only after PrepareScreen: its event pass may run a nested
  // "Start" that draws, and even reallocates, the picture first.
  RasterSurface surface;
  const ScreenSize screen = PrepareScreen(desktop, surface);

  // The event pass may have replaced a variable with what was typed meanwhile; it is drawn as it
  // stands, unless it is not a number at all.
  const std::optional<double> a1 = view.a1.AsNumber();
  const std::optional<double> b1 = view.b1.AsNumber();
  const std::optional<double> c1 = view.c1.AsNumber();
  if (!a1 || !b1 || !c1) {
    desktop.SetMousePointer(MousePointer::Default);
    return;
  }

  const PictureView picture{{*a1, *b1}, *c1, screen, PictureTwipsPerPixel()};
  const QSize pixels(picture.WidthPixels(), picture.HeightPixels());
  // Drawn over entirely by the surface's Cls, so never cleared here.
  if (picture_.size() != pixels) picture_ = QImage(pixels, QImage::Format_RGB32);
  if (!picture_.isNull()) {
    surface.Attach(
        Rgb32Pixels{picture_.bits(), picture_.bytesPerLine(), picture_.width(), picture_.height()},
        picture.twipsPerPixel);
  }
  DrawGlobe(table, picture, surface);
  desktop.SetMousePointer(MousePointer::Default);
  // Tells paintEvent how many device pixels make one of the window's pixels.
  picture_.setDevicePixelRatio(devicePixelRatioF());
  readoutView_ = picture;
  update();
}

void Form1::Command2_Click() {
  const std::string& path = services_.files->settingsSave;
  try {
    if (services_.files->makeSaveFolder) MakeFoldersFor(path);
    SaveSettings(path, view.a1, view.b1, view.c1);
  } catch (const FileError& error) {
    ReportRuntimeError(error);
  }
  EndProgram(0);
}

void Form1::Form_QueryUnload() {
  EndProgram(0);
}

void Form1::Form_MouseMove(QPointF position) {
  std::optional<std::string> text;
  if (readoutView_) {
    // The pointer is in the window's pixels, the picture and its twips in device pixels.
    const QPointF pixel = position * devicePixelRatioF();
    const double twipsPerPixel = readoutView_->twipsPerPixel;
    text = ReadoutAt(*readoutView_, {pixel.x() * twipsPerPixel, pixel.y() * twipsPerPixel});
  }
  if (!text) {
    Label4->hide();
    return;
  }
  Label4->setText(QString::fromStdString(*text));
  Label4->adjustSize();
  // At the bottom left, and below the buttons even on a window too short for both.
  Label4->move(0, std::max(height() - Label4->height(), Command2->geometry().bottom() + 1));
  Label4->show();
}

void Form1::Form_MouseLeave() {
  Label4->hide();
}

void Form1::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), kWindowColour);
  // The last picture stays until the next "Start" replaces it, whatever covered the window.
  if (!picture_.isNull()) painter.drawImage(QPointF(0, 0), picture_);
}

void Form1::closeEvent(QCloseEvent* event) {
  event->ignore();
  Form_QueryUnload();
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
  Form_MouseMove(event->position());
}

void Form1::leaveEvent(QEvent*) {
  Form_MouseLeave();
}

void Form1::ForgetReadoutView() {
  readoutView_.reset();
  Label4->hide();
}

double Form1::PictureTwipsPerPixel() const {
  return kTwipsPerInch / (logicalDpiX() * devicePixelRatioF());
}

}  // namespace globeview
