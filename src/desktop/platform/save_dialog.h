#pragma once

#include <optional>
#include <string>

namespace globeview {

// Asks the user where to write a file; AskFileName returns when the dialog has been closed.
class SaveDialog {
 public:
  virtual ~SaveDialog() = default;
  // The path chosen (UTF-8), or none when the user cancelled. The dialog opens in `folder`, or,
  // when that is empty or no longer a folder, in the user's pictures folder, else the home folder;
  // it offers `name`.
  virtual std::optional<std::string> AskFileName(const std::string& folder,
                                                 const std::string& name) = 0;
};

}  // namespace globeview
