#pragma once

#include <string>
#include <vector>

#include "core_doubles.h"
#include "platform/message_box.h"

namespace globeview::test {

// Records the messages shown, instead of showing a dialog.
class RecordingMessageBox final : public MessageBox {
 public:
  void Show(const std::string& text) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

}  // namespace globeview::test
