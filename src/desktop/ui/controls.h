#pragma once

class QWidget;

namespace globeview {

// Left, top, width and height of a control in twips, from the top left of its window.
struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

enum class ControlKind { Field, Label, Button };

// One control of the window's design. A field's caption is its first text.
struct ControlDesign {
  ControlKind kind;
  const char* name;
  const char* caption;
  TwipsRect rect;
};

// Makes the control of `design` in `parent`, named after it and placed for the parent's logical
// DPI: a field, a label in white on black, or a button that Enter and Esc never press.
QWidget* MakeControl(const ControlDesign& design, QWidget& parent);

// Pixels of the parent's logical DPI for a length in twips.
int TwipsToPixelsX(const QWidget& widget, int twips);
int TwipsToPixelsY(const QWidget& widget, int twips);

}  // namespace globeview
