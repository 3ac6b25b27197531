#pragma once

#include <string>

namespace globeview {

// A message to the user with an OK button only; Show returns when it has been closed.
class MessageBox {
 public:
  virtual ~MessageBox() = default;
  virtual void Show(const std::string& text) = 0;
};

}  // namespace globeview
