#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QString>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "platform/instance_lock.h"
#include "system/application.h"
#include "ui/form1.h"

namespace {

using globeview::EndProgram;

// What Qt says while it connects to the display is held back: when it cannot connect, the user gets
// one line naming the display and status 1 instead of Qt's lines and an abort.
std::vector<std::pair<QtMsgType, QString>> heldMessages;

std::string DisplayName() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (x11 != nullptr && *x11 != '\0') return x11;
  if (wayland != nullptr && *wayland != '\0') return wayland;
  return {};
}

void HoldWhileConnecting(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type != QtFatalMsg) {
    heldMessages.emplace_back(type, message);
    return;
  }
  const std::string display = DisplayName();
  if (display.empty()) {
    std::fprintf(stderr, "globeview: cannot open a display: DISPLAY is not set\n");
  } else {
    std::fprintf(stderr, "globeview: cannot open the display \"%s\"\n", display.c_str());
  }
  EndProgram(1);
}

// Connected: what Qt said goes where it would have gone.
void ReleaseHeldMessages(QtMessageHandler qtHandler) {
  qInstallMessageHandler(qtHandler);
  for (const auto& [type, message] : heldMessages) {
    if (qtHandler != nullptr) {
      qtHandler(type, QMessageLogContext(), message);
    } else {
      std::fprintf(stderr, "%s\n", qPrintable(message));
    }
  }
  heldMessages.clear();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace globeview;

  // The program reads no command line: Qt is given the program's name alone, so nothing typed
  // after it (-qwindowtitle, -platform, -style) changes the window.
  char fallbackName[] = "globeview";
  char* qtArgv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName, nullptr};
  int qtArgc = 1;
  const QtMessageHandler qtHandler = qInstallMessageHandler(HoldWhileConnecting);
  QApplication app(qtArgc, qtArgv);
  ReleaseHeldMessages(qtHandler);
  QApplication::setApplicationName(QStringLiteral("GlobeView"));
  // Qt's own texts (the file dialog, the message box's buttons) in the window's language, and its
  // dates and file types too; where Qt's translations are not installed they stay in Qt's English.
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  QTranslator qtTexts;
  if (qtTexts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTexts);
  }

  // Taken at once and held until the program ends, so that a later copy finds it; "Start"
  // consults the answer.
  const InstanceLock lock;
  if (!lock.problem().empty()) std::fprintf(stderr, "globeview: %s\n", lock.problem().c_str());
  Form1Services services;
  services.previousInstanceRunning = lock.AnotherCopyRunning();

  Form1 form(services);
  form.Form_Load();
  form.show();
  return app.exec();
}
