#include "platform/qt_save_dialog.h"

#include <QFileDialog>
#include <QString>

namespace globeview {

std::optional<std::string> QtSaveDialog::AskFileName() {
  const QString path = QFileDialog::getSaveFileName(
      parent_, QStringLiteral("Save the picture"), QStringLiteral("globeview.png"),
      QStringLiteral("Pictures (*.png *.svg *.pdf);;PNG (*.png);;SVG (*.svg);;PDF, A4 (*.pdf)"));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

}  // namespace globeview
