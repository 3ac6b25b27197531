#pragma once

#include <functional>
#include <string>

#include "system/files.h"

namespace globeview {

// The run-time error report: writes the error's message on one line to stderr ("cannot open
// data.dat in /some/dir: No such file or directory"), shows it in a message box when a dialog
// presenter is installed (the window program installs one), then ends the program with a non-zero
// exit status.
[[noreturn]] void ReportRuntimeError(const FileError& error);

// Installs how the window program shows the report (a modal message box); empty: stderr only.
void SetErrorPresenter(std::function<void(const std::string& message)> presenter);

}  // namespace globeview
