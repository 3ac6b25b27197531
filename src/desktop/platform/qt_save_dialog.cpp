#include "platform/qt_save_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>

namespace globeview {

namespace {

// Where pictures live: never the program's folder, where Qt's dialog opens by default.
QString PicturesFolder() {
  const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  return !pictures.isEmpty() && QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
}

}  // namespace

std::optional<std::string> QtSaveDialog::AskFileName(const std::string& folder,
                                                     const std::string& name) {
  QString start = QString::fromStdString(folder);
  if (start.isEmpty() || !QFileInfo(start).isDir()) start = PicturesFolder();
  QFileDialog dialog(parent_, QStringLiteral("画像を保存"),
                     QDir(start).filePath(QString::fromStdString(name)),
                     QStringLiteral("画像 (*.png *.svg *.pdf);;PNG (*.png);;SVG (*.svg);;PDF A4 (*.pdf)"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst().toStdString();
}

}  // namespace globeview
