#include <QApplication>
#include <QMessageBox>
#include <QString>

#include "system/application.h"
#include "platform/instance_lock.h"
#include "system/error_report.h"
#include "ui/form1.h"

int main(int argc, char** argv) {
  using namespace globeview;

  // The program reads no command line: Qt is given the program's name alone, so nothing typed
  // after it (-qwindowtitle, -platform, -style) changes the window.
  char fallbackName[] = "globeview";
  char* qtArgv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName, nullptr};
  int qtArgc = 1;
  QApplication app(qtArgc, qtArgv);
  QApplication::setApplicationName(QStringLiteral("GlobeView"));

  // Asked once, at once, so that this copy holds the lock for the rest of its life and a later
  // copy finds it; "Start" consults the answer.
  Form1Services services;
  services.previousInstanceRunning = PreviousInstanceRunning();

  SetErrorPresenter([](const std::string& message) {
    QMessageBox::critical(nullptr, QApplication::applicationName(),
                          QString::fromStdString(message));
  });

  Form1 form(services);
  form.Form_Load();
  form.show();
  return app.exec();
}
