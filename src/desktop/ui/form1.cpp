#include "ui/form1.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "data/coastline.h"
#include "data/locations.h"
#include "data/settings_file.h"
#include "output/raster_surface.h"
#include "platform/qt_desktop.h"
#include "platform/qt_message_box.h"
#include "platform/text_field.h"
#include "system/application.h"
#include "system/error_report.h"
#include "system/files.h"
#include "ui/controls.h"
#include "ui/picture_area.h"
#include "view/drawing.h"

namespace globeview {

namespace {

// The design, in tab order, which is the order the controls are made in. The fields form a column,
// each overlapping the next by 30 twips, with their labels to the right and the two buttons below.
constexpr ControlDesign kControls[] = {
    {ControlKind::Field, "Text1", "Text1", {0, 0, 735, 270}},
    {ControlKind::Field, "Text2", "Text2", {0, 240, 735, 270}},
    {ControlKind::Label, "経度", "経度", {840, 0, 615, 255}},
    {ControlKind::Label, "Label2", "緯度", {840, 240, 615, 255}},
    {ControlKind::Label, "Label3", "倍率", {840, 480, 495, 255}},
    {ControlKind::Button, "Command1", "Start", {0, 720, 735, 375}},
    {ControlKind::Field, "Text3", "Text3", {0, 480, 735, 270}},
    {ControlKind::Button, "Command2", "End", {0, 1080, 735, 375}},
};
// The window's size before it fills the screen.
constexpr int kDesignWidthTwips = 4680;
constexpr int kDesignHeightTwips = 3090;

template <class Control>
Control* Find(const QWidget& window, const char* name) {
  return window.findChild<Control*>(QString::fromUtf8(name), Qt::FindDirectChildrenOnly);
}

}  // namespace

Form1::Form1(Form1Services services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)) {
  TakeDefaultServices();
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Form1"));
  // Made first, so that it lies beneath the controls; it covers the whole window.
  picture_ = new PictureArea(this);
  resize(TwipsToPixelsX(*this, kDesignWidthTwips), TwipsToPixelsY(*this, kDesignHeightTwips));
  picture_->setGeometry(rect());
  for (const ControlDesign& design : kControls) MakeControl(design, *this);
  Text1 = Find<QLineEdit>(*this, "Text1");
  Text2 = Find<QLineEdit>(*this, "Text2");
  Text3 = Find<QLineEdit>(*this, "Text3");
  Command1 = Find<QPushButton>(*this, "Command1");
  Command2 = Find<QPushButton>(*this, "Command2");
  ConnectHandlers();
  Text1->setFocus();
}

void Form1::TakeDefaultServices() {
  if (services_.desktop == nullptr) {
    ownDesktop_ = std::make_unique<QtDesktop>(*this);
    services_.desktop = ownDesktop_.get();
  }
  if (services_.messageBox == nullptr) {
    ownMessageBox_ = std::make_unique<QtMessageBox>(this);
    services_.messageBox = ownMessageBox_.get();
  }
  if (!services_.files) services_.files = LocateFiles();
  if (!services_.end) services_.end = [](int status) { EndProgram(status); };
}

void Form1::ConnectHandlers() {
  // textChanged, not textEdited: an assignment by the program changes the variable too.
  connect(Text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);
  connect(Text2, &QLineEdit::textChanged, this, &Form1::Text2_Change);
  connect(Text3, &QLineEdit::textChanged, this, &Form1::Text3_Change);
  connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
  connect(picture_, &PictureArea::PointerMoved, this, &Form1::Form_MouseMove);
}

Form1::~Form1() = default;

void Form1::Form_Load() {
  services_.desktop->MaximiseWindow();
  setWindowFlag(Qt::FramelessWindowHint, true);
  const std::string coastline = FindFile(services_.files->coastline);
  try {
    table_ = std::make_unique<PointTable>();
    const LoadReport report = LoadCoastline(coastline, *table_);
    if (!report.notice.empty()) std::fprintf(stderr, "%s\n", report.notice.c_str());
  } catch (const FileError& error) {
    return Fail(ErrorReportLine(error));
  } catch (const std::bad_alloc&) {
    return Fail("not enough memory for the coastline table");
  }
  const SettingsRead settings = ReadSettings(FindFile(services_.files->settings));
  if (!settings.notice.empty()) std::fprintf(stderr, "%s\n", settings.notice.c_str());
  view_ = ViewValues{settings.a1, settings.b1, settings.c1};
  SetFieldText(*Text1, view_.a1.ToText());
  SetFieldText(*Text2, view_.b1.ToText());
  SetFieldText(*Text3, view_.c1.ToText());
}

void Form1::Text1_Change() {
  view_.a1 = FieldText(*Text1);
  SetFieldText(*Text1, view_.a1.ToText());
}

void Form1::Text2_Change() {
  view_.b1 = FieldText(*Text2);
  SetFieldText(*Text2, view_.b1.ToText());
}

void Form1::Text3_Change() {
  view_.c1 = FieldText(*Text3);
  SetFieldText(*Text3, view_.c1.ToText());
}

void Form1::Command1_Click() {
  if (services_.previousInstanceRunning) return End(0);

  const std::vector<std::string> messages =
      Validate(FieldText(*Text1), FieldText(*Text2), FieldText(*Text3));
  for (const std::string& message : messages) services_.messageBox->Show(message);
  // A value that is not a number can be neither normalised nor drawn; the fields keep it for the
  // user to correct. Without a coastline (Form_Load failed) there is nothing to draw either.
  if (!messages.empty() || !Normalise(view_) || !table_) return;

  Desktop& desktop = *services_.desktop;
  picture_->ForgetView();
  // The surface gets the picture's pixels only after PrepareScreen: its event pass may run a nested
  // "Start" that draws, and even reallocates, the picture first.
  RasterSurface surface;
  const ScreenSize screen = PrepareScreen(desktop, surface);

  // The event pass may have replaced a variable with what was typed meanwhile; it is drawn as it
  // stands, unless it is not a number at all.
  const std::optional<double> a1 = view_.a1.AsNumber();
  const std::optional<double> b1 = view_.b1.AsNumber();
  const std::optional<double> c1 = view_.c1.AsNumber();
  if (!a1 || !b1 || !c1) {
    desktop.SetMousePointer(MousePointer::Default);
    return;
  }

  const PictureView picture{{*a1, *b1}, *c1, screen, picture_->TwipsPerPixel()};
  try {
    // Drawn over entirely by the surface's Cls, so never cleared here.
    const Rgb32Pixels pixels = picture_->PixelsFor(screen);
    if (pixels.top != nullptr) surface.Attach(pixels, picture.twipsPerPixel);
  } catch (const std::bad_alloc&) {
    desktop.SetMousePointer(MousePointer::Default);
    const QSize size = picture_->PixelSize(screen);
    return Fail("not enough memory for a picture of " + std::to_string(size.width()) + " x " +
                std::to_string(size.height()) + " pixels");
  }
  DrawGlobe(*table_, picture, surface);
  desktop.SetMousePointer(MousePointer::Default);
  picture_->Show(picture);
}

void Form1::Command2_Click() {
  const std::string& path = services_.files->settingsSave;
  try {
    if (services_.files->makeSaveFolder) MakeFoldersFor(path);
    SaveSettings(path, view_.a1, view_.b1, view_.c1);
  } catch (const FileError& error) {
    return Fail(ErrorReportLine(error));
  }
  End(0);
}

void Form1::Form_QueryUnload() {
  End(0);
}

void Form1::Form_MouseMove(QPointF position) {
  // At the bottom left, and below the buttons even on a window too short for both.
  picture_->ReadOut(position, Command2->geometry().bottom() + 1);
}

void Form1::Form_MouseLeave() {
  picture_->HideReadout();
}

const QImage& Form1::Picture() const {
  return picture_->Image();
}

void Form1::closeEvent(QCloseEvent* event) {
  event->ignore();
  Form_QueryUnload();
}

void Form1::leaveEvent(QEvent*) {
  Form_MouseLeave();
}

void Form1::resizeEvent(QResizeEvent*) {
  if (picture_ != nullptr) picture_->setGeometry(rect());
}

void Form1::Fail(const std::string& message) {
  PrintErrorLine(message);
  services_.messageBox->Show(message);
  End(1);
}

void Form1::End(int status) {
  services_.end(status);
}

}  // namespace globeview
