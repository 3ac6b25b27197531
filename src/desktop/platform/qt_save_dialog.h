#pragma once

#include "platform/save_dialog.h"

class QWidget;

namespace globeview {

// Qt's dialog for saving the picture, over `parent`, offering PNG, SVG and PDF names; it asks
// before a file is replaced.
class QtSaveDialog final : public SaveDialog {
 public:
  explicit QtSaveDialog(QWidget* parent = nullptr) : parent_(parent) {}
  std::optional<std::string> AskFileName() override;

 private:
  QWidget* parent_;
};

}  // namespace globeview
