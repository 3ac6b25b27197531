#pragma once

#include <string>

class QLineEdit;

namespace globeview {

// Sets a text field's text the way the program's change handlers rely on: setting the text the
// field already holds changes nothing at all (no caret move, no selection change, no change event).
// QLineEdit::setText would move the caret to the end and drop the undo history even then.
void SetFieldText(QLineEdit& field, const std::string& text);

// The field's text as the program's variables hold it (UTF-8).
std::string FieldText(const QLineEdit& field);

}  // namespace globeview
