#include "ui/form1.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/instance_lock.h"
#include "platform/save_dialog.h"
#include "recording_doubles.h"
#include "system/application.h"
#include "system/drawing_surface.h"
#include "test_support.h"
#include "view/projection.h"
#include "view/view_values.h"

namespace globeview {
namespace {

using test::FakeDesktop;
using test::RecordingMessageBox;
using test::ScratchDir;

// What the end service throws in these tests, so the test process survives the end of the program.
struct Ended {
  int status;
};

// The window's controls, found by their names as the user knows them.
QLineEdit* Field(const Form1& form, const char* name) {
  return form.findChild<QLineEdit*>(QString::fromUtf8(name));
}
QPushButton* Button(const Form1& form, const char* name) {
  return form.findChild<QPushButton*>(QString::fromUtf8(name));
}
QLabel* Label(const Form1& form, const char* name) {
  return form.findChild<QLabel*>(QString::fromUtf8(name));
}

const QRgb kGridPixel = qRgb(155, 155, 155);
const QRgb kCoastlinePixel = qRgb(255, 255, 255);
const QRgb kBlackPixel = qRgb(0, 0, 0);
const QRgb kShortPathPixel = qRgb(255, 255, 0);
const QRgb kLongPathPixel = qRgb(255, 128, 0);

// The screen the fake desktop reports: 640 x 480 pixels at the window's logical DPI.
constexpr int kScreenWidthPx = 640;
constexpr int kScreenHeightPx = 480;

double ScreenTwips(int pixels) {
  return pixels * kTwipsPerInch / QGuiApplication::primaryScreen()->logicalDotsPerInchX();
}

int CountPixels(const QImage& image, QRgb colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == colour;
  }
  return count;
}

// Answers the save dialog with the names given, in turn; none when they run out.
class ScriptedSaveDialog final : public SaveDialog {
 public:
  std::optional<std::string> AskFileName(const std::string&, const std::string&) override {
    if (names.empty()) return std::nullopt;
    std::string name = names.front();
    names.erase(names.begin());
    return name;
  }
  std::vector<std::string> names;
};

// Runs each test in a scratch directory holding the shipped coastline and a settings file, with a
// window whose screen, message box and settings path are doubles.
class Form1Test : public testing::Test {
 protected:
  void SetUp() override {
    previousDirectory_ = std::filesystem::current_path();
    std::filesystem::copy_file(test::ShippedCoastlinePath(), dir_.Path("data.dat"));
    dir_.Write("data2.dat", "\"139.7\",\"35.7\",\"1\"\r\n");
    std::filesystem::current_path(dir_.Root());
  }

  void TearDown() override { std::filesystem::current_path(previousDirectory_); }

  Form1Services Services(bool previousInstance = false) {
    Form1Services services;
    services.desktop = &desktop_;
    services.messageBox = &messages_;
    services.saveDialog = &saveDialog_;
    services.previousInstanceRunning = previousInstance;
    services.files = FileLocations{{"data.dat"}, {"data2.dat"}, savePath_};
    services.end = [](int status) { throw Ended{status}; };
    return services;
  }

  // Sets the three fields as the user would leave them.
  static void Type(Form1& form, const char* t1, const char* t2, const char* t3) {
    Field(form, "Text1")->setText(QString::fromUtf8(t1));
    Field(form, "Text2")->setText(QString::fromUtf8(t2));
    Field(form, "Text3")->setText(QString::fromUtf8(t3));
  }

  // The picture a plain "Start" draws for these fields, on a window of its own.
  QImage ReferencePicture(const char* t1, const char* t2, const char* t3) {
    FakeDesktop desktop(ScreenTwips(kScreenWidthPx), ScreenTwips(kScreenHeightPx));
    Form1Services services = Services();
    services.desktop = &desktop;
    Form1 form(services);
    form.Form_Load();
    Type(form, t1, t2, t3);
    form.Command1_Click();
    return form.Picture();
  }

  ScratchDir dir_;
  std::filesystem::path previousDirectory_;
  FakeDesktop desktop_{ScreenTwips(kScreenWidthPx), ScreenTwips(kScreenHeightPx)};
  RecordingMessageBox messages_;
  ScriptedSaveDialog saveDialog_;
  std::string savePath_ = dir_.Path("saved.dat");
};

TEST_F(Form1Test, HasTheDesignedControlsAtTheirPlaces) {
  if (QGuiApplication::primaryScreen()->logicalDotsPerInchX() != 96) {
    GTEST_SKIP() << "pixel positions below are for 96 DPI (15 twips per pixel)";
  }
  Form1 form(Services());
  const struct {
    const char* name;
    const char* kind;
    QRect pixels;
    const char* text;
  } controls[] = {
      {"Text1", "QLineEdit", {0, 0, 49, 18}, "Text1"},
      {"Text2", "QLineEdit", {0, 16, 49, 18}, "Text2"},
      {"経度", "QLabel", {56, 0, 41, 17}, "経度"},
      {"Label2", "QLabel", {56, 16, 41, 17}, "緯度"},
      {"Label3", "QLabel", {56, 32, 33, 17}, "倍率"},
      {"Command1", "QPushButton", {0, 48, 49, 25}, "Start"},
      {"Text3", "QLineEdit", {0, 32, 49, 18}, "Text3"},
      {"Command2", "QPushButton", {0, 72, 49, 25}, "End"},
  };
  for (const auto& c : controls) {
    SCOPED_TRACE(c.name);
    auto* widget = form.findChild<QWidget*>(QString::fromUtf8(c.name));
    ASSERT_NE(widget, nullptr);
    EXPECT_STREQ(widget->metaObject()->className(), c.kind);
    EXPECT_EQ(widget->geometry(), c.pixels);
    QString text;
    if (auto* field = qobject_cast<QLineEdit*>(widget)) text = field->text();
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      text = label->text();
      EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));
      EXPECT_EQ(label->palette().color(QPalette::Window), QColor(Qt::black));
      EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
    }
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
      text = button->text();
      EXPECT_FALSE(button->autoDefault());
      EXPECT_FALSE(button->isDefault());
    }
    EXPECT_EQ(text, QString::fromUtf8(c.text));
  }
  EXPECT_EQ(form.windowTitle(), "Form1");
  EXPECT_EQ(form.size(), QSize(312, 206));
}

TEST_F(Form1Test, TabGoesThroughFieldsAndButtonsInOrderAndEnterPressesNothing) {
  Form1 form(Services());
  form.Form_Load();
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  EXPECT_EQ(QApplication::focusWidget(), Field(form, "Text1"));

  const std::vector<QWidget*> order = {Field(form, "Text2"), Button(form, "Command1"),
                                       Field(form, "Text3"), Button(form, "Command2"),
                                       Field(form, "Text1")};
  for (QWidget* expected : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), expected) << expected->objectName().toStdString();
  }

  // Neither button is a default or cancel button.
  QSignalSpy start(Button(form, "Command1"), &QPushButton::clicked);
  QSignalSpy end(Button(form, "Command2"), &QPushButton::clicked);
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    QTest::keyClick(Field(form, "Text3"), key);
  }
  EXPECT_EQ(start.count() + end.count(), 0);
}

TEST_F(Form1Test, TypingInTheMiddleKeepsTheCaretAndUpdatesTheVariableOnEveryKeystroke) {
  Form1 form(Services());
  form.Form_Load();
  form.show();
  QLineEdit& field = *Field(form, "Text1");
  ASSERT_EQ(field.text(), "139.7");
  field.setFocus();
  field.setCursorPosition(3);  // 139|.7
  QSignalSpy changes(&field, &QLineEdit::textChanged);

  const struct {
    Qt::Key key;
    const char* text;
    int caret;
  } keystrokes[] = {
      {Qt::Key_5, "1395.7", 4},    {Qt::Key_0, "13950.7", 5},     {Qt::Key_Backspace, "1395.7", 4},
      {Qt::Key_Left, "1395.7", 3}, {Qt::Key_Minus, "139-5.7", 4},
  };
  int expectedChanges = 0;
  for (const auto& k : keystrokes) {
    SCOPED_TRACE(k.text);
    const QString before = field.text();
    QTest::keyClick(&field, k.key);
    if (field.text() != before) ++expectedChanges;
    EXPECT_EQ(field.text(), k.text);
    EXPECT_EQ(field.cursorPosition(), k.caret);
    EXPECT_EQ(form.View().a1, FieldValue(std::string(k.text)));
    EXPECT_EQ(changes.count(), expectedChanges) << "one change event per keystroke, no echo";
  }
  // Setting the text again with QLineEdit::setText would have cleared the undo history.
  EXPECT_TRUE(field.isUndoAvailable());

  field.setSelection(1, 2);
  form.Text1_Change();
  EXPECT_EQ(field.selectedText(), "39");
  EXPECT_EQ(changes.count(), expectedChanges);
}

TEST_F(Form1Test, LoadFillsTheFieldsFromTheSettingsFile) {
  const struct {
    const char* settings;  // nullptr: no settings file
    const char* texts[3];
    int changeEvents[3];
  } cases[] = {
      {"\"139.7\",\"35.7\",\"1\"\r\n", {"139.7", "35.7", "1"}, {1, 1, 1}},
      {"40\r\n-12.5\r\n10\r\n", {"40", "-12.5", "10"}, {1, 1, 1}},
      {"0.5,1e3,\"2\"", {"0.5", "1000", "2"}, {1, 1, 1}},
      // Assigning the text a field already holds changes nothing and fires nothing.
      {"\"Text1\",\"Text2\",7", {"Text1", "Text2", "7"}, {0, 0, 1}},
      {nullptr, {"0", "0", "1"}, {1, 1, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.settings ? c.settings : "(no settings file)");
    if (c.settings) {
      dir_.Write("data2.dat", c.settings);
    } else {
      std::filesystem::remove(dir_.Path("data2.dat"));
    }
    FakeDesktop desktop(1, 1);
    Form1Services services = Services();
    services.desktop = &desktop;
    Form1 form(services);
    QSignalSpy spy1(Field(form, "Text1"), &QLineEdit::textChanged);
    QSignalSpy spy2(Field(form, "Text2"), &QLineEdit::textChanged);
    QSignalSpy spy3(Field(form, "Text3"), &QLineEdit::textChanged);
    form.Form_Load();

    EXPECT_EQ(desktop.maximised, 1);
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(Field(form, "Text1")->text(), QString::fromUtf8(c.texts[0]));
    EXPECT_EQ(Field(form, "Text2")->text(), QString::fromUtf8(c.texts[1]));
    EXPECT_EQ(Field(form, "Text3")->text(), QString::fromUtf8(c.texts[2]));
    // Every variable now holds its field's text, as a text.
    EXPECT_EQ(form.View().a1, FieldValue(std::string(c.texts[0])));
    EXPECT_EQ(form.View().b1, FieldValue(std::string(c.texts[1])));
    EXPECT_EQ(form.View().c1, FieldValue(std::string(c.texts[2])));
    EXPECT_EQ(spy1.count(), c.changeEvents[0]);
    EXPECT_EQ(spy2.count(), c.changeEvents[1]);
    EXPECT_EQ(spy3.count(), c.changeEvents[2]);
  }
}

// A fatal error says why on stderr and in a message box, in one line, and ends with status 1.
TEST_F(Form1Test, AFatalErrorIsShownAndEndsWithStatus1) {
  const std::string looked = "data.dat in " + std::filesystem::canonical(dir_.Root()).string();
  const struct {
    const char* name;
    std::function<void()> spoil;
    int screenPixels;     // the screen's width and height; 0: the usual screen
    std::string message;  // a part of the line shown
  } cases[] = {
      // The report names the file where the program looked for it.
      {"missing", [&] { std::filesystem::remove(dir_.Path("data.dat")); }, 0, looked},
      {"short", [&] { dir_.Write("data.dat", "1,2\r\n3,4\r\n"); }, 0, looked},
      {"unclosed quote", [&] { dir_.Write("data.dat", "1,2\r\n\"3,4\r\n"); }, 0, looked},
      {"no memory for the picture",
       [&] {
         std::filesystem::copy_file(test::ShippedCoastlinePath(), dir_.Path("data.dat"),
                                    std::filesystem::copy_options::overwrite_existing);
       },
       1 << 20, "not enough memory for a picture of 1048576 x 1048576 pixels"},
      {"a pipe, which would wait for a writer",
       [&] {
         std::filesystem::remove(dir_.Path("data.dat"));
         ASSERT_EQ(mkfifo(dir_.Path("data.dat").c_str(), 0600), 0);
       },
       0, looked + ": a pipe (FIFO), not a regular file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
#if defined(__SANITIZE_ADDRESS__)
    // The address sanitizer ends a program whose allocation is too large instead of throwing.
    if (c.screenPixels != 0) continue;
#endif
    c.spoil();
    FakeDesktop desktop(ScreenTwips(c.screenPixels ? c.screenPixels : kScreenWidthPx),
                        ScreenTwips(c.screenPixels ? c.screenPixels : kScreenHeightPx));
    RecordingMessageBox messages;
    Form1Services services = Services();
    services.desktop = &desktop;
    services.messageBox = &messages;
    Form1 form(services);
    const test::StderrCapture capture;
    try {
      form.Form_Load();
      form.Command1_Click();
      ADD_FAILURE() << "the program went on";
    } catch (const Ended& ended) {
      EXPECT_EQ(ended.status, 1);
    }
    const std::string stderrText = capture.Text();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].find(c.message), std::string::npos) << messages.shown[0];
    EXPECT_NE(stderrText.find(messages.shown[0] + "\n"), std::string::npos) << stderrText;
    EXPECT_TRUE(form.Picture().isNull());
  }
}

TEST_F(Form1Test, StartDrawsTheGlobeIntoTheWindowsPicture) {
  Form1 form(Services());
  form.Form_Load();
  form.Command1_Click();

  // In device pixels: on a high-DPI screen the picture has more of them, lines stay one wide.
  const QImage& picture = form.Picture();
  const qreal ratio = form.devicePixelRatioF();
  const QSize pixels(qRound(kScreenWidthPx * ratio), qRound(kScreenHeightPx * ratio));
  ASSERT_EQ(picture.size(), pixels);
  EXPECT_EQ(picture.pixel(pixels.width() / 2, pixels.height() / 2), kGridPixel);
  EXPECT_EQ(picture.pixel(pixels.width() / 2, 0), kGridPixel) << "the vertical bar reaches the top";
  EXPECT_EQ(picture.pixel(0, 0), kBlackPixel);
  EXPECT_GT(CountPixels(picture, kCoastlinePixel), 2000);
  EXPECT_EQ(desktop_.pointers,
            (std::vector<MousePointer>{MousePointer::Busy, MousePointer::Default}));
  EXPECT_EQ(desktop_.eventPasses, 1);
  EXPECT_EQ(desktop_.maximised, 2);  // on load and when drawing
  EXPECT_TRUE(messages_.shown.empty());

  // Pressed again without editing: the normalised view draws the same picture.
  Field(form, "Text1")->setText("500");
  form.Command1_Click();
  EXPECT_EQ(form.View().a1, FieldValue(140.0));
  EXPECT_EQ(Field(form, "Text1")->text(), "500");
  const QImage first = picture.copy();
  form.Command1_Click();
  EXPECT_EQ(form.Picture(), first);
}

TEST_F(Form1Test, StartDrawsTheSamePictureOnAHighDpiScreen) {
  QProcess scaled;
  auto environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_SCALE_FACTOR", "2");
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  scaled.setProcessEnvironment(environment);
  scaled.start(QCoreApplication::applicationFilePath(),
               {"--gtest_filter=Form1Test.StartDrawsTheGlobeIntoTheWindowsPicture"});
  ASSERT_TRUE(scaled.waitForFinished(60000));
  EXPECT_EQ(scaled.exitCode(), 0) << scaled.readAllStandardOutput().toStdString();
}

TEST_F(Form1Test, EveryFieldThatIsNotANumberGetsItsMessageInOrderAndNothingIsDrawn) {
  const struct {
    const char* texts[3];
    std::vector<std::string> messages;
  } cases[] = {
      {{"abc", "35.7", "1"}, {kLongitudeMessage}},
      {{"139.7", "", "1"}, {kLatitudeMessage}},
      {{"139.7", "35.7", "1,5"}, {kMagnificationMessage}},
      {{"", "北", "1"}, {kLongitudeMessage, kLatitudeMessage}},
      {{"x", "y", "z"}, {kLongitudeMessage, kLatitudeMessage, kMagnificationMessage}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.texts[0]);
    FakeDesktop desktop(ScreenTwips(kScreenWidthPx), ScreenTwips(kScreenHeightPx));
    RecordingMessageBox messages;
    Form1Services services = Services();
    services.desktop = &desktop;
    services.messageBox = &messages;
    Form1 form(services);
    form.Form_Load();
    form.Command1_Click();  // a first picture, which a failed check must leave alone
    const QImage before = form.Picture().copy();
    Type(form, c.texts[0], c.texts[1], c.texts[2]);

    form.Command1_Click();
    EXPECT_EQ(messages.shown, c.messages);
    EXPECT_EQ(form.Picture(), before);
    EXPECT_EQ(desktop.eventPasses, 1);
    EXPECT_EQ(desktop.pointers.back(), MousePointer::Default);
    EXPECT_EQ(form.View().a1, FieldValue(std::string(c.texts[0])));
    EXPECT_EQ(form.View().c1, FieldValue(std::string(c.texts[2])));
  }
}

TEST_F(Form1Test, EndSavesTheViewAndEndsTheProgram) {
  const struct {
    const char* texts[3];
    bool start;
    const char* saved;
    const char* thenLatitude = nullptr;  // typed after "Start", and "Start" pressed again
  } cases[] = {
      {{"139.7", "35.7", "1"}, false, "\"139.7\",\"35.7\",\"1\"\r\n"},
      {{"139.7", "35.7", "1"}, true, "\"139.7\",\"35.7\",\"1\"\r\n"},
      {{"400", "35.7", "12"}, true, "40,\"35.7\",10\r\n"},
      {{"-1", "-90", "0.5"}, true, "359,\"-90\",1\r\n"},
      {{"abc", "\"q\"", "1"}, false, "\"abc\",\"\"\"q\"\"\",\"1\"\r\n"},
      // Over the pole the longitude turns; the next "Start" takes the field's longitude again.
      {{"-139.7512", "91", "1"}, true, "220.2488,\"10\",\"1\"\r\n", "10"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.saved);
    Form1 form(Services());
    form.Form_Load();
    Type(form, c.texts[0], c.texts[1], c.texts[2]);
    if (c.start) form.Command1_Click();
    if (c.thenLatitude) {
      Field(form, "Text2")->setText(c.thenLatitude);
      form.Command1_Click();
    }
    try {
      form.Command2_Click();
      ADD_FAILURE() << "the program went on after End";
    } catch (const Ended& ended) {
      EXPECT_EQ(ended.status, 0);
    }
    EXPECT_EQ(test::ReadBytes(savePath_), c.saved);
  }
}

TEST_F(Form1Test, AFailedSaveIsReportedAndEndsWithStatus1) {
  savePath_ = dir_.Path("no such directory/data2.dat");
  Form1 form(Services());
  form.Form_Load();
  try {
    form.Command2_Click();
    ADD_FAILURE() << "the program went on after End";
  } catch (const Ended& ended) {
    EXPECT_EQ(ended.status, 1);
  }
  EXPECT_FALSE(std::filesystem::exists(savePath_));
}

// Another account's link in a folder like /tmp is followed neither by Ctrl+S nor by "End".
TEST_F(Form1Test, SavesDoNotFollowAnotherAccountsLinkInASharedFolder) {
  const std::string victim = dir_.Write("victim", "kept");
  savePath_ = dir_.Path("shared/data2.dat");
  saveDialog_.names = {dir_.Path("shared/map.png")};
  if (!test::MakeOthersLink(victim, savePath_) ||
      !test::MakeOthersLink(victim, dir_.Path("shared/map.png"))) {
    GTEST_SKIP() << "cannot give a link to another account here";
  }
  Form1 form(Services());
  form.Form_Load();
  form.Command1_Click();
  QKeyEvent save(QEvent::KeyPress, Qt::Key_S, Qt::ControlModifier);
  form.Form_KeyDown(save);
  EXPECT_THROW(form.Command2_Click(), Ended);
  EXPECT_EQ(messages_.shown.size(), 2u) << "one for Ctrl+S, one for End";
  EXPECT_EQ(test::ReadBytes(victim), "kept");
}

TEST_F(Form1Test, ACloseRequestEndsWithoutSaving) {
  dir_.Write("saved.dat", "\"1\",\"2\",\"3\"\r\n");
  Form1 form(Services());
  form.Form_Load();
  form.show();
  // Through the window system's close, with the real end of the program, in a child process.
  Form1Services realEnd = Services();
  realEnd.end = nullptr;
  Form1 real(realEnd);
  real.Form_Load();
  real.show();
  EXPECT_EXIT(real.close(), testing::ExitedWithCode(0), "");
  try {
    form.Form_QueryUnload();
    ADD_FAILURE() << "the program went on after a close request";
  } catch (const Ended& ended) {
    EXPECT_EQ(ended.status, 0);
  }
  EXPECT_EQ(test::ReadBytes(savePath_), "\"1\",\"2\",\"3\"\r\n");
}

TEST_F(Form1Test, StartInASecondCopyEndsItAtOnce) {
  Form1 second(Services(/*previousInstance=*/true));
  second.Form_Load();
  Type(second, "not a number", "35.7", "1");
  try {
    second.Command1_Click();
    ADD_FAILURE() << "the second copy went on";
  } catch (const Ended& ended) {
    EXPECT_EQ(ended.status, 0);
  }
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_TRUE(second.Picture().isNull());
  EXPECT_FALSE(std::filesystem::exists(savePath_));
}

// Started again by the test below as a second copy of this program, which "Start" must end. It runs
// before any test, from the environment, so it is no test of its own.
[[maybe_unused]] const bool kRunAsSecondCopy = [] {
  if (std::getenv("GLOBEVIEW_FORM1_SECOND_COPY") == nullptr) return false;
  int argc = 1;
  char name[] = "form1_test";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  const InstanceLock lock(std::string(std::getenv("GLOBEVIEW_FORM1_SECOND_COPY")));
  Form1Services services;
  services.previousInstanceRunning = lock.AnotherCopyRunning();
  if (!services.previousInstanceRunning) std::_Exit(4);
  FakeDesktop desktop(1000, 1000);
  services.desktop = &desktop;
  Form1 form(services);
  Field(form, "Text1")->setText("0");
  Field(form, "Text2")->setText("0");
  Field(form, "Text3")->setText("1");
  form.Command1_Click();
  std::_Exit(3);
}();

TEST_F(Form1Test, ARealSecondCopyEndsOnStartWhileTheFirstRunsOn) {
  const InstanceLock lock(dir_.Path("instance.lock"));
  ASSERT_EQ(lock.state(), InstanceLock::State::Held) << "this copy should be the first";
  QProcess copy;
  auto environment = QProcessEnvironment::systemEnvironment();
  environment.insert("GLOBEVIEW_FORM1_SECOND_COPY",
                     QString::fromStdString(dir_.Path("instance.lock")));
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  copy.setProcessEnvironment(environment);
  copy.start(QCoreApplication::applicationFilePath(), {});
  ASSERT_TRUE(copy.waitForFinished(60000));
  EXPECT_EQ(copy.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(copy.exitCode(), 0) << "3: the copy drew; 4: it did not see this one";

  Form1 first(Services());
  first.Form_Load();
  first.Command1_Click();
  EXPECT_FALSE(first.Picture().isNull());
}

// The real program takes its lock in the account's home. What a run of it by a test made there is
// removed again afterwards; what was there before is left alone.
class HomeLockLeftovers {
 public:
  HomeLockLeftovers() {
    const std::optional<std::string> lock = InstanceLock::DefaultPath();
    if (!lock) return;
    // The lock file and the three folders below the home that hold it.
    std::filesystem::path path = *lock;
    for (int level = 0; level < 4; ++level, path = path.parent_path()) {
      std::error_code error;
      if (!std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
        made_.push_back(path);
      }
    }
  }
  ~HomeLockLeftovers() {
    for (const auto& path : made_) {
      std::error_code ignored;  // a folder that is no longer empty stays
      std::filesystem::remove(path, ignored);
    }
  }

 private:
  std::vector<std::filesystem::path> made_;  // innermost first
};

// Arguments are not Qt's either: a platform named after the program's name would stop Qt at once.
TEST_F(Form1Test, TheProgramReadsNoCommandLine) {
  const HomeLockLeftovers leftovers;
  if (QStandardPaths::findExecutable("xvfb-run").isEmpty() ||
      QStandardPaths::findExecutable("xdotool").isEmpty()) {
    GTEST_SKIP() << "needs xvfb-run and xdotool to read the window's title";
  }
  // On a real X server, whose window list tells the title: Qt's own options would have made it
  // HELLO, or ended the program for want of the platform.
  const char* script =
      "\"$0\" -platform no-such-platform -qwindowtitle HELLO & program=$!\n"
      "for i in $(seq 100); do xdotool search --name '^Form1$' >/dev/null && break; sleep 0.1; "
      "done\n"
      "title=$(xdotool search --name '^(Form1|HELLO)$' getwindowname 2>/dev/null | sort -u)\n"
      "alive=yes; kill -0 $program 2>/dev/null || alive=no\n"
      "kill $program 2>/dev/null; wait $program 2>/dev/null\n"
      "echo \"$alive $title\"\n";
  QProcess program;
  auto environment = QProcessEnvironment::systemEnvironment();
  environment.remove("QT_QPA_PLATFORM");
  program.setProcessEnvironment(environment);
  program.setWorkingDirectory(QString::fromUtf8(GLOBEVIEW_BIN_DIR));
  program.start("xvfb-run", {"-a", "sh", "-c", script, GLOBEVIEW_BIN_DIR "/globeview"});
  ASSERT_TRUE(program.waitForFinished(60000));
  EXPECT_EQ(QString(program.readAllStandardOutput()).trimmed().toStdString(), "yes Form1")
      << program.readAllStandardError().toStdString();
}

// Without a display the program says which one it could not open, in one line, and ends with
// status 1 rather than Qt's abort.
TEST_F(Form1Test, WithoutADisplayTheProgramSaysWhichAndEndsWithStatus1) {
  QProcess program;
  auto environment = QProcessEnvironment::systemEnvironment();
  environment.remove("QT_QPA_PLATFORM");
  environment.remove("WAYLAND_DISPLAY");
  environment.insert("DISPLAY", ":9999");
  program.setProcessEnvironment(environment);
  program.start(QString::fromUtf8(GLOBEVIEW_BIN_DIR "/globeview"), {});
  ASSERT_TRUE(program.waitForFinished(30000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 1);
  EXPECT_EQ(program.readAllStandardError().toStdString(),
            "globeview: cannot open the display \":9999\"\n");
}

// The event pass in "Start" handles what was waiting, inside the running handler.
TEST_F(Form1Test, EventsWaitingWhenStartBeginsAreHandledInsideIt) {
  const QImage atMagnification2 = ReferencePicture("139.7", "35.7", "2");
  const QImage atMagnification1 = ReferencePicture("139.7", "35.7", "1");

  {
    SCOPED_TRACE("a second Start runs the whole drawing inside the first");
    Form1 form(Services());
    form.Form_Load();
    int nested = 0;
    desktop_.onEvents = [&] {
      if (nested++ == 0) form.Command1_Click();
    };
    form.Command1_Click();
    EXPECT_EQ(desktop_.eventPasses, 2);
    EXPECT_EQ(form.Picture(), atMagnification1);
    EXPECT_EQ(desktop_.pointers.back(), MousePointer::Default);
  }
  {
    SCOPED_TRACE("a keystroke after the normalisation is drawn as typed");
    Form1 form(Services());
    form.Form_Load();
    desktop_.onEvents = [&] { Field(form, "Text3")->setText("2"); };
    form.Command1_Click();
    EXPECT_EQ(form.Picture(), atMagnification2);
    EXPECT_EQ(form.View().c1, FieldValue("2"));
    desktop_.onEvents = [&] { Field(form, "Text3")->setText("12"); };
    form.Command1_Click();
    EXPECT_EQ(form.View().c1, FieldValue("12")) << "not normalised";
  }
  {
    SCOPED_TRACE("a keystroke that leaves no number draws nothing");
    Form1 form(Services());
    form.Form_Load();
    desktop_.pointers.clear();
    desktop_.onEvents = [&] { Field(form, "Text2")->setText("35.7x"); };
    form.Command1_Click();
    EXPECT_TRUE(form.Picture().isNull());
    EXPECT_EQ(desktop_.pointers,
              (std::vector<MousePointer>{MousePointer::Busy, MousePointer::Default}));
    EXPECT_TRUE(messages_.shown.empty());
  }
  {
    SCOPED_TRACE("End saves the normalised view and nothing after it runs");
    Form1 form(Services());
    form.Form_Load();
    Field(form, "Text1")->setText("-90");
    desktop_.onEvents = [&] { form.Command2_Click(); };
    try {
      form.Command1_Click();
      ADD_FAILURE() << "Start went on after End";
    } catch (const Ended& ended) {
      EXPECT_EQ(ended.status, 0);
    }
    EXPECT_TRUE(form.Picture().isNull());
    EXPECT_EQ(test::ReadBytes(savePath_), "270,\"35.7\",\"1\"\r\n");
  }
}

// The same through Qt's own event pass: a click on "Start" waiting in the queue. The nested drawing
// fills the picture first and the running one draws it again; the busy pointer must come off.
TEST_F(Form1Test, AQueuedStartClickRunsInsideTheRunningStartWithQtsEventPass) {
  static QStringList warnings;
  warnings.clear();
  const QtMessageHandler previous =
      qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtDebugMsg) warnings << message;
      });
  Form1Services services = Services();
  services.desktop = nullptr;
  Form1 form(services);
  form.Form_Load();
  form.show();
  QSignalSpy clicks(Button(form, "Command1"), &QPushButton::clicked);
  QMetaObject::invokeMethod(Button(form, "Command1"), &QPushButton::click, Qt::QueuedConnection);
  form.Command1_Click();
  qInstallMessageHandler(previous);

  EXPECT_EQ(clicks.count(), 1);
  EXPECT_TRUE(warnings.isEmpty()) << warnings.join("\n").toStdString();
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  const QImage& picture = form.Picture();
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.pixel(picture.width() / 2, picture.height() / 2), kGridPixel);
  EXPECT_GT(CountPixels(picture, kCoastlinePixel), 2000);
}

TEST_F(Form1Test, ARepaintKeepsThePictureBeneathTheControls) {
  Form1 form(Services());
  form.Form_Load();
  form.resize(kScreenWidthPx + 60, kScreenHeightPx + 40);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  form.Command1_Click();
  form.update();
  QCoreApplication::processEvents();

  const QImage shown = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QImage& picture = form.Picture();
  EXPECT_EQ(shown.pixel(kScreenWidthPx / 2, kScreenHeightPx / 2), kGridPixel);
  EXPECT_EQ(shown.copy(200, 200, 200, 200), picture.copy(200, 200, 200, 200));
  // The field lies over the picture's black top left corner; past its text it shows its own base.
  const QRect field = Field(form, "Text1")->geometry();
  const QPoint pastText(field.right() - 4, field.center().y());
  EXPECT_EQ(picture.pixel(pastText), kBlackPixel);
  EXPECT_NE(shown.pixel(pastText), kBlackPixel);
  // Beyond the picture (a window larger than the reported screen) the window is black.
  EXPECT_EQ(shown.pixel(kScreenWidthPx + 30, kScreenHeightPx + 20), kBlackPixel);
}

// Tokyo at magnification 1 on 640 x 480 pixels: the 180-degree ring has a radius of 240 pixels.
TEST_F(Form1Test, TheReadoutNamesThePlaceUnderThePointerOverTheDiscOnly) {
  Form1 form(Services());
  form.Form_Load();
  form.resize(kScreenWidthPx, kScreenHeightPx);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  const QLabel& readout = *Label(form, "Label4");
  // Through the window system, as the pointer's moves come.
  QWindow* window = form.windowHandle();
  QTest::mouseMove(window, {300, 200});
  EXPECT_TRUE(readout.isHidden()) << "no picture yet";
  form.Command1_Click();

  const struct {
    QPoint at;
    const char* text;  // nullptr: hidden
  } moves[] = {
      {{320, 240}, "経度 139.70  緯度 35.70  方位 0.0°  距離 0 km  PM95uq"},
      // A quarter of the earth's circumference due east lies on the equator, 90 degrees east.
      {{440, 240}, "経度 -130.30  緯度 0.00  方位 90.0°  距離 10,008 km  CJ40ua"},
      {{20, 5}, nullptr},  // over the field Text1
      {{630, 10}, nullptr},
      {{320, 0}, "経度 -40.30  緯度 -35.70  方位 0.0°  距離 20,015 km  GF94uh"},
  };
  for (const auto& move : moves) {
    SCOPED_TRACE(move.text ? move.text : "off the disc");
    QTest::mouseMove(window, move.at);
    EXPECT_EQ(readout.isVisible(), move.text != nullptr);
    if (move.text) {
      EXPECT_EQ(readout.text().toStdString(), move.text);
    }
  }
  EXPECT_EQ(readout.geometry().bottomLeft(), QPoint(0, form.height() - 1));
  EXPECT_GT(readout.geometry().top(), Button(form, "Command2")->geometry().bottom())
      << "below the controls";

  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&form, &leave);
  EXPECT_TRUE(readout.isHidden());
  QTest::mouseMove(window, {320, 240});
  desktop_.onEvents = [&] { QTest::mouseMove(window, {330, 240}); };
  form.Command1_Click();
  EXPECT_TRUE(readout.isHidden()) << "the pointer moved while a new picture was drawn";

  // The pointer reports the window's pixels, the picture has device pixels.
  if (qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR")) {
    QProcess scaled;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_SCALE_FACTOR", "2");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    scaled.setProcessEnvironment(environment);
    scaled.start(
        QCoreApplication::applicationFilePath(),
        {"--gtest_filter=Form1Test.TheReadoutNamesThePlaceUnderThePointerOverTheDiscOnly"});
    ASSERT_TRUE(scaled.waitForFinished(60000));
    EXPECT_EQ(scaled.exitCode(), 0) << scaled.readAllStandardOutput().toStdString();
  }
}

// Where the first picture (Tokyo, magnification 1, 640 x 480 pixels) shows a place, in pixels.
QPointF PixelOf(Place place) {
  const PictureView view = PictureView::OfPixels({139.7, 35.7}, 1, kScreenWidthPx, kScreenHeightPx);
  const ScreenPosition twips = ScreenPositionOf(view, place);
  return {twips.x / view.twipsPerPixel, twips.y / view.twipsPerPixel};
}
const Place kNewYork{-74, 40.7};

// The picture beneath the controls, which takes the pointer's events.
QWidget& PictureOf(Form1& form) {
  return *form.findChild<QWidget*>("picture");
}

// Presses and releases a button over the picture, as the window system delivers it.
void Click(Form1& form, Qt::MouseButton button, QPointF at) {
  QTest::mouseClick(&PictureOf(form), button, {}, at.toPoint());
}

// Turns the wheel over the picture by eighths of a degree (a notch is 120).
void Wheel(Form1& form, int eighths) {
  const QPointF at(320, 240);
  QWheelEvent event(at, at, {}, {0, eighths}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                    false);
  QApplication::sendEvent(&PictureOf(form), &event);
}

TEST_F(Form1Test, ARightClickPinsTheTargetUntilOneOffTheDiscOrEscRemovesIt) {
  const QImage plain = ReferencePicture("139.7", "35.7", "1");
  Form1 form(Services());
  form.Form_Load();
  const QLabel& line = *Label(form, "Label5");
  Click(form, Qt::RightButton, PixelOf(kNewYork));
  EXPECT_FALSE(form.Target()) << "no picture yet";
  form.Command1_Click();

  Click(form, Qt::RightButton, PixelOf(kNewYork));
  ASSERT_TRUE(form.Target());
  // 0.75 degrees a pixel at magnification 1 on 480 pixels.
  EXPECT_NEAR(form.Target()->lon, kNewYork.lon, 1);
  EXPECT_NEAR(form.Target()->lat, kNewYork.lat, 1);
  EXPECT_GT(CountPixels(form.Picture(), kShortPathPixel), 100);
  EXPECT_GT(CountPixels(form.Picture(), kLongPathPixel), 200);
  EXPECT_TRUE(line.text().startsWith(QString::fromUtf8("目標 経度 -7")));
  EXPECT_TRUE(line.text().contains("  FN30")) << line.text().toStdString();
  EXPECT_TRUE(line.text().contains(QString::fromUtf8("  日の出 ")) && line.text().endsWith(" UTC"));
  EXPECT_FALSE(line.isHidden());

  Click(form, Qt::LeftButton, {320, 240});
  EXPECT_NEAR(form.Target()->lon, kNewYork.lon, 1) << "only the right button aims";
  Click(form, Qt::RightButton, {320, 240});
  EXPECT_NEAR(form.Target()->lat, 35.7, 1) << "moved to the centre";
  Click(form, Qt::RightButton, PixelOf(kNewYork));
  Field(form, "Text1")->setText("140");
  form.Command1_Click();
  EXPECT_GT(CountPixels(form.Picture(), kShortPathPixel), 100) << "kept by Start";

  Field(form, "Text1")->setText("139.7");
  form.Command1_Click();
  // A quick second press of the right button is one more press, never a double-click's centring.
  QTest::mouseDClick(&PictureOf(form), Qt::RightButton, {}, {320, 240});
  EXPECT_EQ(Field(form, "Text1")->text(), "139.7");
  EXPECT_NEAR(form.Target()->lat, 35.7, 1);
  Click(form, Qt::RightButton, {630, 10});
  EXPECT_FALSE(form.Target());
  EXPECT_EQ(form.Picture(), plain);
  EXPECT_TRUE(line.isHidden());
  Click(form, Qt::RightButton, PixelOf(kNewYork));
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  form.Form_KeyDown(escape);
  EXPECT_FALSE(form.Target());
  EXPECT_EQ(form.Picture(), plain);
}

TEST_F(Form1Test, F6ShowsDayAndNightAndGlobeviewConfKeepsTheChoice) {
  const QRgb night = qRgb(30, 50, 128);
  Form1Services services = Services();
  services.files->config = "globeview.conf";
  QKeyEvent f6(QEvent::KeyPress, Qt::Key_F6, Qt::NoModifier);
  for (const int shown : {0, 1, 0}) {  // the second window reads the first one's choice
    Form1 form(services);
    form.Form_Load();
    form.Command1_Click();
    EXPECT_EQ(CountPixels(form.Picture(), night) > 1000, shown == 1);
    form.Form_KeyDown(f6);
    EXPECT_EQ(CountPixels(form.Picture(), night) > 1000, shown == 0);
    std::ifstream conf("globeview.conf");
    const std::string text(std::istreambuf_iterator<char>(conf), {});
    EXPECT_NE(text.find(shown ? "night=off\n" : "night=on\n"), std::string::npos) << text;
  }
}

TEST_F(Form1Test, ADoubleClickOnTheDiscCentresThereAndPressesStart) {
  const struct {
    QPointF at;
    const char* magnification;
    const char* texts[2];  // the fields afterwards
    std::vector<std::string> messages;
  } cases[] = {
      // A quarter of the earth's circumference due east lies on the equator, 90 degrees east.
      {{440, 240}, "1", {"-130.30", "0.00"}, {}},
      {{440, 240}, "3", {"-130.30", "0.00"}, {}},
      {{630, 10}, "1", {"139.7", "35.7"}, {}},
      {{440, 240}, "abc", {"-130.30", "0.00"}, {kMagnificationMessage}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.magnification);
    RecordingMessageBox messages;
    Form1Services services = Services();
    services.messageBox = &messages;
    Form1 form(services);
    form.Form_Load();
    form.Command1_Click();
    const QImage before = form.Picture().copy();
    Field(form, "Text3")->setText(c.magnification);
    QTest::mouseDClick(&PictureOf(form), Qt::LeftButton, {}, c.at.toPoint());
    EXPECT_EQ(Field(form, "Text1")->text(), c.texts[0]);
    EXPECT_EQ(Field(form, "Text2")->text(), c.texts[1]);
    EXPECT_EQ(Field(form, "Text3")->text(), c.magnification);
    EXPECT_EQ(messages.shown, c.messages);
    const bool drawn = c.messages.empty() && c.texts[0] != std::string("139.7");
    EXPECT_EQ(form.Picture(),
              drawn ? ReferencePicture(c.texts[0], c.texts[1], c.magnification) : before);
  }
}

TEST_F(Form1Test, TheWheelStepsTheLastPicturesMagnificationAndPressesStart) {
  const struct {
    const char* magnification;  // of the first picture
    std::vector<int> turns;     // eighths of a degree, one wheel event each
    const char* stepped;
  } cases[] = {
      {"1", {120}, "2"},        {"2.5", {-120}, "1.5"}, {"9.5", {360}, "10"},
      {"1", {-120}, "1"},       {"12", {-120}, "9"},  // drawn at 10
      {"1", {60, 60, 60}, "2"},                       // a fine wheel's half notches
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.magnification);
    Form1 form(Services());
    form.Form_Load();
    Field(form, "Text3")->setText(c.magnification);
    Wheel(form, c.turns.front() > 0 ? 120 : -120);
    EXPECT_EQ(Field(form, "Text3")->text(), c.magnification) << "no picture yet";
    EXPECT_TRUE(form.Picture().isNull());
    form.Command1_Click();
    for (const int eighths : c.turns) Wheel(form, eighths);
    EXPECT_EQ(Field(form, "Text3")->text(), c.stepped);
    EXPECT_EQ(form.Picture(), ReferencePicture("139.7", "35.7", c.stepped));
  }
}

TEST_F(Form1Test, KeysCopyTheReadoutSaveThePictureAndEscRemovesTheTarget) {
  Form1 form(Services());
  form.Form_Load();
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  QLineEdit& field = *Field(form, "Text1");
  field.setFocus();
  form.Command1_Click();
  Click(form, Qt::RightButton, PixelOf(kNewYork));
  form.Form_MouseMove({320, 240});
  QClipboard& clipboard = *QGuiApplication::clipboard();
  const QString pointer =
      QString::fromUtf8("経度 139.70  緯度 35.70  方位 0.0°  距離 0 km  PM95uq");

  QTest::keyClick(&field, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clipboard.text(), Label(form, "Label5")->text() + "\n" + pointer);
  field.setSelection(0, 3);
  QTest::keyClick(&field, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clipboard.text(), "139") << "a field's selection is the field's to copy";
  QTest::keyClick(&field, Qt::Key_Escape);
  EXPECT_FALSE(form.Target());
  QTest::keyClick(Button(form, "Command1"), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clipboard.text(), pointer);

  Click(form, Qt::RightButton, PixelOf(kNewYork));
  saveDialog_.names = {dir_.Path("map.PNG"), dir_.Path("map.jpg"), dir_.Path("no/map.svg"),
                       dir_.Path("map.pdf")};
  for (int i = 0; i < 4; ++i) QTest::keyClick(&field, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(test::ReadBytes(dir_.Path("map.pdf")).rfind("%PDF-", 0), 0u) << "an A4 page";
  QImage saved;
  ASSERT_TRUE(saved.load(QString::fromStdString(dir_.Path("map.PNG"))));
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), form.Picture()) << "target included";
  ASSERT_EQ(messages_.shown.size(), 2u);
  EXPECT_NE(messages_.shown[0].find("map.jpg"), std::string::npos) << messages_.shown[0];
  EXPECT_NE(messages_.shown[1].find("map.svg in " + dir_.Path("no")), std::string::npos)
      << messages_.shown[1];
}

// Ctrl+S with Qt's own dialog: its title and the name it offers; it opens in the home folder, in
// the pictures folder once there is one, then where the last picture of the run was saved.
TEST_F(Form1Test, TheSaveDialogOpensWherePicturesLive) {
  const QByteArray home = qgetenv("HOME"), config = qgetenv("XDG_CONFIG_HOME");
  qputenv("HOME", QByteArray::fromStdString(dir_.Root()));
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir_.Path("config")));
  Form1Services services = Services();
  services.saveDialog = nullptr;
  Form1 form(services);
  form.Form_Load();
  form.Command1_Click();
  // Answers the dialog with `path`, or cancels it; returns the folder it opened in.
  const auto save = [&](const std::string& path) {
    QString folder;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      EXPECT_EQ(dialog->windowTitle().toStdString(), "画像を保存");
      EXPECT_EQ(QFileInfo(dialog->selectedFiles().value(0)).fileName().toStdString(),
                "globeview-139.70E-35.70N-x1.png");
      folder = dialog->directory().absolutePath();
      dialog->selectFile(QString::fromStdString(path));
      QMetaObject::invokeMethod(dialog, path.empty() ? "reject" : "accept");
    });
    QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
    return folder.toStdString();
  };
  EXPECT_EQ(save(""), dir_.Root());
  std::filesystem::create_directory(dir_.Path("Pictures"));
  std::filesystem::create_directory(dir_.Path("maps"));
  EXPECT_EQ(save(dir_.Path("maps/a.png")), dir_.Path("Pictures"));
  EXPECT_EQ(save(""), dir_.Path("maps"));
  EXPECT_TRUE(std::filesystem::exists(dir_.Path("maps/a.png")));
  qputenv("HOME", home);
  qputenv("XDG_CONFIG_HOME", config);
}

// A port of this machine free for a moment: the system's choice for a socket bound to port 0.
int FreePort() {
  const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(socket, reinterpret_cast<sockaddr*>(&address), length);
  ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(socket);
  return ntohs(address.sin_port);
}

// The rotator's azimuth as Hamlib's own rotctl reads it from the daemon; none when it cannot.
std::optional<double> RotctlAzimuth(const QString& port) {
  QProcess rotctl;
  rotctl.start("rotctl", {"-m", "2", "-r", "127.0.0.1:" + port, "p"});
  if (!rotctl.waitForFinished(5000) || rotctl.exitCode() != 0) return std::nullopt;
  bool number = false;
  const double azimuth = rotctl.readAllStandardOutput().split('\n').value(0).toDouble(&number);
  return number ? std::optional(azimuth) : std::nullopt;
}

// Hamlib's dummy rotator behind rotctld, turned by the window's keys: a rotator whose range is
// -180..180 (a south stop), an antenna mounted 10 degrees clockwise. It turns about 8 degrees a
// second, so each turn is waited for. Then the daemon hangs and dies in the middle of a turn.
TEST_F(Form1Test, F7AndShiftF7TurnARealRotatorAndADeadOneNeverHoldsTheWindow) {
  Form1 bare(Services());
  bare.Form_Load();
  QTest::keyClick(&bare, Qt::Key_F7);
  EXPECT_TRUE(Label(bare, "Label6")
                  ->text()
                  .startsWith(QString::fromUtf8("アンテナ: ローテーターがありません")))
      << "no [rotator] section";
  if (QStandardPaths::findExecutable("rotctld").isEmpty()) {
    GTEST_SKIP() << "rotctld is not installed (Debian's libhamlib-utils)";
  }

  const QString port = QString::number(FreePort());
  QProcess daemon;
  daemon.start("rotctld",
               {"-m", "1", "-T", "127.0.0.1", "-t", port, "-C", "min_az=-180,max_az=180"});
  ASSERT_TRUE(QTest::qWaitFor([&] { return RotctlAzimuth(port).has_value(); }, 5000));
  dir_.Write("globeview.conf",
             "[rotator]\nmodel=2\nport=127.0.0.1:" + port.toStdString() + "\noffset=10\n");
  Form1Services services = Services();
  services.files->config = dir_.Path("globeview.conf");
  Form1 form(services);
  form.Form_Load();
  Type(form, "0", "0", "1");
  form.show();
  form.Command1_Click();
  // A target 30 degrees east of north on the screen: its short path's bearing is 30.
  form.Form_MouseDown(Qt::RightButton, QPointF(320 + 50, 240 - 50 * std::sqrt(3.0)));
  // Where the rotator comes to rest: two readings alike, the second within 0.5 degrees.
  const auto turnsTo = [&](double azimuth) {
    std::optional<double> last;
    return QTest::qWaitFor(
        [&] {
          const std::optional<double> now = std::exchange(last, RotctlAzimuth(port));
          return now && now == last && std::abs(*now - azimuth) < 0.5;
        },
        40000);
  };
  QLabel& antenna = *Label(form, "Label6");
  QTest::keyClick(Field(form, "Text1"), Qt::Key_F7);
  EXPECT_TRUE(turnsTo(30 - 10)) << RotctlAzimuth(port).value_or(-999);
  QTest::keyClick(Field(form, "Text1"), Qt::Key_F7, Qt::ShiftModifier);
  EXPECT_TRUE(turnsTo(210 - 10 - 360)) << RotctlAzimuth(port).value_or(-999);
  EXPECT_TRUE(QTest::qWaitFor([&] { return antenna.text() == "アンテナ 210.0°"; }, 3000))
      << antenna.text().toStdString();
  EXPECT_GT(CountPixels(form.Picture(), qRgb(0, 255, 255)), 100) << "the needle";

  QTest::keyClick(Field(form, "Text1"), Qt::Key_F7);
  QTest::qWait(1500);
  ::kill(static_cast<pid_t>(daemon.processId()), SIGSTOP);
  // The window's readings now wait on a daemon that never answers; a Start clicked meanwhile is
  // drawn at once, every time.
  for (int click = 0; click < 8; ++click) {
    bool drawn = false;
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(0, &form, [&] {
      form.Command1_Click();
      drawn = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return drawn; }, 500));
    EXPECT_LT(clock.elapsed(), 500) << "click " << click;
    QTest::qWait(250);
  }
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return CountPixels(form.Picture(), qRgb(0, 255, 255)) == 0; }, 4000))
      << "a heading not read for seconds is not drawn";
  daemon.kill();
  daemon.waitForFinished();
  EXPECT_TRUE(QTest::qWaitFor([&] { return antenna.text().contains(":" + port + ": "); }, 20000))
      << antenna.text().toStdString();
  EXPECT_EQ(CountPixels(form.Picture(), qRgb(0, 255, 255)), 0) << "no stale needle";
}

// F2 to F5 draw their layers at once and globeview.conf keeps them for the next start; pressed
// again they give back the designed picture.
TEST_F(Form1Test, FunctionKeysToggleTheLayersAndTheConfigKeepsThem) {
  const QImage plain = ReferencePicture("139.7", "35.7", "1");
  Form1Services services = Services();
  services.files->borders = {GLOBEVIEW_ASSETS_DIR "/borders.dat"};
  services.files->countries = {GLOBEVIEW_ASSETS_DIR "/countries.dat"};
  services.files->cities = {GLOBEVIEW_ASSETS_DIR "/cities.dat"};
  services.files->config = dir_.Path("globeview.conf");
  const auto press = [](Form1& form, Qt::Key key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    form.Form_KeyDown(event);
  };
  const Qt::Key keys[] = {Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5};
  Form1 form(services);
  form.Form_Load();
  form.Command1_Click();
  for (const Qt::Key key : keys) {
    const QImage before = form.Picture();
    press(form, key);
    EXPECT_NE(form.Picture(), before) << "drawn at once: key " << key;
  }
  EXPECT_NE(test::ReadBytes(dir_.Path("globeview.conf")).find("grid=on"), std::string::npos);
  Form1 again(services);
  again.Form_Load();
  again.Command1_Click();
  EXPECT_EQ(again.Picture(), form.Picture());
  for (const Qt::Key key : keys) press(form, key);
  EXPECT_EQ(form.Picture(), plain);
}

}  // namespace
}  // namespace globeview
