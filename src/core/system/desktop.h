#pragma once

// The screen and window services the drawing relies on, apart from the drawing surface itself.

namespace globeview {

enum class MousePointer { Default = 0, Busy = 11 };

class Desktop {
 public:
  virtual ~Desktop() = default;

  // The screen's size in twips (the screen's, not the window's).
  virtual double ScreenWidth() const = 0;
  virtual double ScreenHeight() const = 0;
  // The screen-wide mouse pointer.
  virtual void SetMousePointer(MousePointer pointer) = 0;
  // Handles the window events already waiting, once, then returns.
  virtual void DoEvents() = 0;
  // Window state 2, maximised: the window over the whole screen, docks and panels included.
  virtual void MaximiseWindow() = 0;
};

}  // namespace globeview
