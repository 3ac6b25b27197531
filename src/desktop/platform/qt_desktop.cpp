#include "platform/qt_desktop.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace globeview {

QtDesktop::~QtDesktop() {
  if (busy_) QGuiApplication::restoreOverrideCursor();
}

QScreen* QtDesktop::Screen() const {
  if (QScreen* screen = window_.screen()) return screen;
  return QGuiApplication::primaryScreen();
}

double QtDesktop::ScreenWidth() const {
  const QScreen* screen = Screen();
  if (screen == nullptr) return 0;
  return screen->size().width() * kTwipsPerInch / screen->logicalDotsPerInchX();
}

double QtDesktop::ScreenHeight() const {
  const QScreen* screen = Screen();
  if (screen == nullptr) return 0;
  return screen->size().height() * kTwipsPerInch / screen->logicalDotsPerInchY();
}

void QtDesktop::SetMousePointer(MousePointer pointer) {
  const bool busy = pointer == MousePointer::Busy;
  if (busy == busy_) return;
  if (busy) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QGuiApplication::restoreOverrideCursor();
  }
  busy_ = busy;
}

void QtDesktop::DoEvents() {
  QCoreApplication::processEvents();
}

void QtDesktop::MaximiseWindow() {
  // The full-screen state, not the maximised one: the picture is laid out for the whole screen, so
  // the window covers docks and panels too. It also brings a minimised window back.
  window_.setWindowState((window_.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)) |
                         Qt::WindowFullScreen);
}

}  // namespace globeview
