#pragma once

#include <optional>
#include <string>

namespace globeview {

// Asks the user where to write a file; AskFileName returns when the dialog has been closed.
class SaveDialog {
 public:
  virtual ~SaveDialog() = default;
  // The path chosen (UTF-8), or none when the user cancelled.
  virtual std::optional<std::string> AskFileName() = 0;
};

}  // namespace globeview
