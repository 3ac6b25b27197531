#include "platform/qt_desktop.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QWidget>
#include <vector>

namespace globeview {
namespace {

// The pointer is one screen-wide setting, not a stack: whatever the sequence, the default pointer
// leaves no override cursor behind, and the busy one leaves exactly one.
TEST(QtDesktopTest, BusyAndDefaultPointerStayBalanced) {
  using P = MousePointer;
  const struct {
    std::vector<P> sequence;
    bool busyAfter;
  } cases[] = {
      {{P::Busy, P::Default}, false},
      {{P::Busy, P::Busy, P::Default}, false},  // a "Start" inside a "Start"
      {{P::Busy, P::Busy, P::Default, P::Default}, false},
      {{P::Default}, false},
      {{P::Default, P::Busy}, true},
  };
  for (const auto& c : cases) {
    QWidget window;
    {
      QtDesktop desktop(window);
      for (P pointer : c.sequence) desktop.SetMousePointer(pointer);
      const QCursor* cursor = QGuiApplication::overrideCursor();
      if (c.busyAfter) {
        ASSERT_NE(cursor, nullptr);
        EXPECT_EQ(cursor->shape(), Qt::WaitCursor);
        QGuiApplication::restoreOverrideCursor();
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "more than one override";
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
      } else {
        EXPECT_EQ(cursor, nullptr);
      }
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "left busy after the desktop went";
  }
}

// The whole screen, docks and panels included: the full-screen state, not the maximised one.
TEST(QtDesktopTest, MaximisingFillsTheScreenAndBringsBackAMinimisedWindow) {
  for (const Qt::WindowStates before :
       {Qt::WindowStates(Qt::WindowNoState), Qt::WindowStates(Qt::WindowMinimized),
        Qt::WindowStates(Qt::WindowMaximized)}) {
    QWidget window;
    window.setWindowState(before);
    window.show();
    QtDesktop desktop(window);
    desktop.MaximiseWindow();
    EXPECT_EQ(window.windowState(), Qt::WindowFullScreen) << int(before);
  }
}

}  // namespace
}  // namespace globeview
