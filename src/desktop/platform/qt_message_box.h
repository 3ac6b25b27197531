#pragma once

#include "platform/message_box.h"

class QWidget;

namespace globeview {

// A modal QMessageBox with an OK button only, over `parent`.
class QtMessageBox final : public MessageBox {
 public:
  explicit QtMessageBox(QWidget* parent = nullptr) : parent_(parent) {}
  void Show(const std::string& text) override;

 private:
  QWidget* parent_;
};

}  // namespace globeview
