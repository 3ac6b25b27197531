#include "ui/form1.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDateTime>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "data/coastline.h"
#include "data/config_file.h"
#include "data/locations.h"
#include "data/places.h"
#include "data/settings_file.h"
#include "export/picture_file.h"
#include "output/raster_surface.h"
#include "platform/hamlib_rotator.h"
#include "platform/qt_desktop.h"
#include "platform/qt_message_box.h"
#include "platform/qt_save_dialog.h"
#include "platform/text_field.h"
#include "system/angles.h"
#include "system/application.h"
#include "system/error_report.h"
#include "system/files.h"
#include "system/text_font.h"
#include "ui/controls.h"
#include "ui/picture_area.h"
#include "view/antenna_layer.h"
#include "view/drawing.h"
#include "view/geodesy.h"
#include "view/layer_choice.h"
#include "view/readout.h"

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
// The magnifications the wheel steps through: the range "Start" draws.
constexpr double kLeastMagnification = 1;
constexpr double kGreatestMagnification = 10;
// A double-click writes the centre's degrees into the fields to this many decimals.
constexpr int kCentreDecimals = 2;
// The antenna has reached the bearing it was turned to within this many degrees.
constexpr double kAntennaArrived = 0.5;
// A heading read this long ago, three readings missed, is no longer taken for where the antenna
// points, though Hamlib may wait longer before it gives up on the rotator.
constexpr int kHeadingStaleMs = 3000;

template <class Control>
Control* Find(const QWidget& window, const char* name) {
  return window.findChild<Control*>(QString::fromUtf8(name), Qt::FindDirectChildrenOnly);
}

// Degrees as a double-click writes them into a field: "-74.00"; never "-0.00".
std::string DegreesText(double degrees) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, degrees, std::chars_format::fixed,
                                 kCentreDecimals)
                       .ptr;
  std::string text(buffer, end);
  if (text.find_first_not_of("-0.") == std::string::npos) text = "0.00";
  return text;
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
  Timer1 = new QTimer(this);
  Timer1->setSingleShot(true);
  // At the bottom left, and below the buttons even on a window too short for both.
  picture_->SetReadoutFloor(Command2->geometry().bottom() + 1);
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
  if (services_.saveDialog == nullptr) {
    ownSaveDialog_ = std::make_unique<QtSaveDialog>(this);
    services_.saveDialog = ownSaveDialog_.get();
  }
  if (!services_.files) services_.files = LocateFiles();
  if (!services_.end) services_.end = [](int status) { EndProgram(status); };
  if (!services_.makeRotator) {
    services_.makeRotator = [](const RotatorSettings& settings) {
      return std::make_unique<HamlibRotator>(settings);
    };
  }
}

void Form1::ConnectHandlers() {
  // textChanged, not textEdited: an assignment by the program changes the variable too.
  connect(Text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);
  connect(Text2, &QLineEdit::textChanged, this, &Form1::Text2_Change);
  connect(Text3, &QLineEdit::textChanged, this, &Form1::Text3_Change);
  connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
  connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
  connect(picture_, &PictureArea::PointerMoved, this, &Form1::Form_MouseMove);
  connect(picture_, &PictureArea::PointerLeft, this, &Form1::Form_MouseLeave);
  connect(picture_, &PictureArea::PointerPressed, this, &Form1::Form_MouseDown);
  connect(picture_, &PictureArea::PointerDoubleClicked, this, &Form1::Form_DblClick);
  connect(picture_, &PictureArea::WheelTurned, this, &Form1::Form_MouseWheel);
  // Ctrl+C in a field without a selection copies the readout instead (Form1::eventFilter).
  for (QLineEdit* field : {Text1, Text2, Text3}) field->installEventFilter(this);
}

Form1::~Form1() = default;

void Form1::Form_Load() {
  services_.desktop->MaximiseWindow();
  setWindowFlag(Qt::FramelessWindowHint, true);
  const std::string coastline = FindFile(services_.files->coastline);
  try {
    table_ = std::make_unique<PointTable>();
    const LoadReport report = LoadCoastline(coastline, *table_, FileKinds::kRegularOnly);
    if (!report.notice.empty()) std::fprintf(stderr, "%s\n", report.notice.c_str());
  } catch (const FileError& error) {
    return Fail(ErrorReportLine(error));
  } catch (const std::bad_alloc&) {
    return Fail("not enough memory for the coastline table");
  }
  LoadPlaces();
  const SettingsRead settings = ReadSettings(FindFile(services_.files->settings));
  if (!settings.notice.empty()) std::fprintf(stderr, "%s\n", settings.notice.c_str());
  view_ = ViewValues{settings.a1, settings.b1, settings.c1};
  SetFieldText(*Text1, view_.a1.ToText());
  SetFieldText(*Text2, view_.b1.ToText());
  SetFieldText(*Text3, view_.c1.ToText());
  const std::string& configPath = services_.files->config;
  const ConfigRead config = configPath.empty() ? ConfigRead{} : ReadConfig(configPath);
  std::vector<std::string> warnings = config.warnings;
  layers_ = LayerChoiceFromConfig(config, warnings);
  const std::optional<RotatorSettings> rotator = RotatorSettingsOf(config, configPath, warnings);
  for (const std::string& warning : warnings) std::fprintf(stderr, "%s\n", warning.c_str());
  FollowClock();
  if (rotator && !rotator_) StartRotator(*rotator);
}

void Form1::StartRotator(const RotatorSettings& rotator) {
  beamWidth_ = rotator.beam;
  rotator_ = services_.makeRotator(rotator);
  connect(rotator_.get(), &Rotator::HeadingRead, this, &Form1::Rotator_HeadingRead);
  connect(rotator_.get(), &Rotator::Failed, this, &Form1::Rotator_Failed);
  headingAge_ = new QTimer(this);
  headingAge_->setSingleShot(true);
  headingAge_->setInterval(kHeadingStaleMs);
  const QString silent =
      QString::fromStdString("rotator at " + rotator.port + ": no answer for " +
                             std::to_string(kHeadingStaleMs / 1000) + " seconds");
  connect(headingAge_, &QTimer::timeout, this, [this, silent] { Rotator_Failed(silent); });
}

void Form1::LoadPlaces() {
  // A place file that cannot be read costs its layers, never the start: one line each.
  const FileLocations& files = *services_.files;
  const auto load = [](const std::vector<std::string>& places, auto loader, auto& into) {
    if (places.empty()) return;
    try {
      into = loader(FindFile(places));
    } catch (const FileError& error) {
      std::fprintf(stderr, "%s\n", ErrorReportLine(error).c_str());
    } catch (const std::bad_alloc&) {
      std::fprintf(stderr, "not enough memory for %s\n", places.back().c_str());
    }
  };
  load(
      files.borders, [](const std::string& path) { return PrepareLines(LoadBorders(path)); },
      places_.borders);
  load(files.countries, LoadCountryLabels, places_.countries);
  load(files.cities, LoadCities, places_.cities);
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
  const QScopedValueRollback<bool> starting(starting_, true);

  // The fields as they read now: what an earlier normalisation made of the variables (a latitude
  // carried over the pole turns the longitude) never outlives the fields it came from.
  view_ = ViewValues{FieldText(*Text1), FieldText(*Text2), FieldText(*Text3)};
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

  const PictureView picture{{*a1, *b1}, *c1, screen, picture_->TwipsPerPixel(), target_};
  if (!Redraw(picture, surface)) return;
  desktop.SetMousePointer(MousePointer::Default);
}

MapLayers Form1::Layers(const PictureView& view) {
  MapContent content;
  content.coastline = table_.get();
  content.time = UtcNow();
  places_.Into(content);
  MapLayers layers = BuildMap(layers_, content, view);
  if (antennaHeading_) {
    layers.push_back(std::make_unique<AntennaLayer>(*antennaHeading_, beamWidth_));
  }
  return layers;
}

bool Form1::Redraw(const PictureView& view, RasterSurface& surface) {
  try {
    // Drawn over entirely by the surface's Cls, so never cleared here.
    const Rgb32Pixels pixels = picture_->PixelsFor(view.screen);
    if (pixels.top != nullptr) surface.Attach(pixels, view.twipsPerPixel);
  } catch (const std::bad_alloc&) {
    services_.desktop->SetMousePointer(MousePointer::Default);
    const QSize size = picture_->PixelSize(view.screen);
    Fail("not enough memory for a picture of " + std::to_string(size.width()) + " x " +
         std::to_string(size.height()) + " pixels");
    return false;
  }
  DrawMap(Layers(view), view, surface);
  picture_->Show(view);
  return true;
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
  picture_->ReadOut(position);
}

void Form1::Form_MouseLeave() {
  picture_->HideReadout();
}

void Form1::Form_MouseDown(Qt::MouseButton button, QPointF position) {
  if (button != Qt::RightButton || !picture_->View()) return;
  SetTarget(picture_->PlaceAt(position));
}

void Form1::Form_DblClick(QPointF position) {
  const std::optional<Place> place = picture_->PlaceAt(position);
  if (!place) return;
  SetFieldText(*Text1, DegreesText(place->lon));
  SetFieldText(*Text2, DegreesText(place->lat));
  Command1_Click();
}

void Form1::Form_MouseWheel(int notches) {
  const std::optional<PictureView>& shown = picture_->View();
  if (!shown || notches == 0) return;
  const double magnification =
      std::clamp(shown->magnification + notches, kLeastMagnification, kGreatestMagnification);
  SetFieldText(*Text3, FieldValue(magnification).ToText());
  Command1_Click();
}

void Form1::Form_KeyDown(QKeyEvent& event) {
  event.accept();
  if (event.key() == Qt::Key_Escape && event.modifiers() == Qt::NoModifier) {
    if (target_) SetTarget(std::nullopt);
  } else if (event.matches(QKeySequence::Copy)) {
    CopyReadout();
  } else if (event.matches(QKeySequence::Save)) {
    SavePicture();
  } else if (event.key() == Qt::Key_F2 && event.modifiers() == Qt::NoModifier) {
    ToggleLayers({LayerName::kNames, LayerName::kBorders});
  } else if (event.key() == Qt::Key_F3 && event.modifiers() == Qt::NoModifier) {
    ToggleLayers({LayerName::kCities});
  } else if (event.key() == Qt::Key_F4 && event.modifiers() == Qt::NoModifier) {
    ToggleLayers({LayerName::kBearings});
  } else if (event.key() == Qt::Key_F5 && event.modifiers() == Qt::NoModifier) {
    ToggleLayers({LayerName::kGrid});
  } else if (event.key() == Qt::Key_F6 && event.modifiers() == Qt::NoModifier) {
    ToggleLayers({LayerName::kNight});
  } else if ((event.key() == Qt::Key_F7 || event.key() == Qt::Key_F8) &&
             (event.modifiers() & ~Qt::ShiftModifier) == Qt::NoModifier) {
    TurnAntenna(event.modifiers() == Qt::ShiftModifier, event.key() == Qt::Key_F8);
  } else {
    event.ignore();
  }
}

void Form1::SetTarget(std::optional<Place> target) {
  if (!target && !target_) return;
  target_ = target;
  RedrawShown();
}

void Form1::ToggleLayers(std::initializer_list<LayerName> layers) {
  const bool shown = !layers_.Has(*layers.begin());
  for (const LayerName layer : layers) layers_.Set(layer, shown);
  const std::string& path = services_.files->config;
  if (!path.empty()) {
    try {
      if (services_.files->makeSaveFolder) MakeFoldersFor(path);
      WriteConfigSection(path, kLayersSection, LayerConfigEntries(layers_));
    } catch (const FileError& error) {
      // The map still changes; only the choice is not kept for the next start.
      std::fprintf(stderr, "%s\n", ErrorReportLine(error).c_str());
    }
  }
  FollowClock();
  RedrawShown();
}

void Form1::RedrawShown() {
  const std::optional<PictureView>& shown = picture_->View();
  if (!shown || !table_) return;
  // The same picture with the new target or layers: no event pass and no busy pointer, a few
  // milliseconds.
  PictureView picture = *shown;
  picture.target = target_;
  RasterSurface surface;
  surface.BackColor(kBackground);
  Redraw(picture, surface);
}

void Form1::FollowClock() {
  if (!layers_.Has(LayerName::kNight)) return Timer1->stop();
  constexpr qint64 kMillisecondsPerMinute = 60000;
  const qint64 intoMinute = QDateTime::currentMSecsSinceEpoch() % kMillisecondsPerMinute;
  Timer1->start(static_cast<int>(kMillisecondsPerMinute - intoMinute));
}

void Form1::Timer1_Timer() {
  FollowClock();
  if (!starting_ && isVisible()) RedrawShown();
}

void Form1::TurnAntenna(bool longPath, bool stop) {
  const std::optional<PictureView>& shown = picture_->View();
  if (!rotator_) {
    return picture_->ShowAntennaLine(
        QStringLiteral("アンテナ: ローテーターがありません（globeview.conf の [rotator] に設定）"));
  }
  if (stop) {
    antennaGoal_.reset();
    return rotator_->Stop();
  }
  if (!target_ || !shown) {
    return picture_->ShowAntennaLine(
        QStringLiteral("アンテナ: 目標がありません（右クリックで目標を決めてから F7）"));
  }
  const Heading shortPath = HeadingFromCentre(*shown, *target_);
  antennaGoal_ = (longPath ? LongPathOf(shortPath) : shortPath).bearing;
  rotator_->TurnTo(*antennaGoal_);
  if (antennaHeading_) Rotator_HeadingRead(*antennaHeading_);
}

void Form1::Rotator_HeadingRead(double bearing) {
  if (antennaGoal_ &&
      std::abs(std::remainder(bearing - *antennaGoal_, kDegreesPerTurn)) < kAntennaArrived) {
    antennaGoal_.reset();
  }
  picture_->ShowAntennaLine(QString::fromStdString(AntennaReadoutText(bearing, antennaGoal_)));
  headingAge_->start();
  const bool moved = antennaHeading_ != bearing;
  antennaHeading_ = bearing;
  if (moved) RedrawShown();
}

void Form1::Rotator_Failed(const QString& line) {
  picture_->ShowAntennaLine(line);
  antennaGoal_.reset();
  headingAge_->stop();
  const bool wasDrawn = antennaHeading_.has_value();
  antennaHeading_.reset();
  if (wasDrawn) RedrawShown();
}

void Form1::CopyReadout() {
  const QString lines = picture_->ReadoutLines();
  if (!lines.isEmpty()) QGuiApplication::clipboard()->setText(lines);
}

void Form1::SavePicture() {
  if (!picture_->View() || !table_) return;
  // Taken before the dialog, whose event loop may see the picture replaced.
  const PictureView picture = *picture_->View();
  const std::optional<std::string> path =
      services_.saveDialog->AskFileName(saveFolder_, SuggestedFileName(picture));
  if (path) WritePicture(picture, *path);
}

void Form1::WritePicture(const PictureView& view, const std::string& path) {
  MessageBox& messages = *services_.messageBox;
  const std::optional<PictureFormat> format = FormatOfName(path);
  if (!format) {
    return messages.Show(Printable(path) +
                         ": cannot tell the format; use a name ending in .png, .svg or .pdf");
  }
  try {
    // A PDF is an A4 page, portrait, in print colours, of the layers on the screen.
    PaperOptions paper;
    paper.time = UtcNow();
    const std::string bytes = PictureFileBytes(Layers(view), view, *format, paper);
    if (bytes.empty()) return messages.Show(Printable(path) + ": the picture could not be encoded");
    WriteFileReplacing(path, bytes, FileKinds::kRegularOnly);
    saveFolder_ = std::filesystem::path(path).parent_path().string();
  } catch (const FileError& error) {
    messages.Show(ErrorReportLine(error));
  } catch (const FontError& error) {
    messages.Show(path + ": " + error.what());
  } catch (const std::bad_alloc&) {
    messages.Show(Printable(path) + ": not enough memory for the picture");
  }
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

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  // A field copies its own selection; without one, Ctrl+C is the window's.
  if (event->type() != QEvent::KeyPress) return false;
  auto& key = static_cast<QKeyEvent&>(*event);
  const auto* field = qobject_cast<const QLineEdit*>(watched);
  if (!key.matches(QKeySequence::Copy) || field == nullptr || field->hasSelectedText()) {
    return false;
  }
  Form_KeyDown(key);
  return true;
}

void Form1::keyPressEvent(QKeyEvent* event) {
  // What a field or a button leaves unhandled: Esc and Ctrl+S, and Ctrl+C over a button.
  Form_KeyDown(*event);
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
