#pragma once

#include "platform/save_dialog.h"

class QWidget;

namespace globeview {

// Qt's dialog for saving the picture, over `parent`, offering PNG, SVG and PDF names; it asks
// before a file is replaced. Its texts are Japanese where Qt's translations are installed.
class QtSaveDialog final : public SaveDialog {
 public:
  explicit QtSaveDialog(QWidget* parent = nullptr) : parent_(parent) {}
  std::optional<std::string> AskFileName(const std::string& folder,
                                         const std::string& name) override;

 private:
  QWidget* parent_;
};

}  // namespace globeview
