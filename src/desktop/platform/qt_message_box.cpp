#include "platform/qt_message_box.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QString>

namespace globeview {

void QtMessageBox::Show(const std::string& text) {
  QMessageBox box(parent_);
  box.setWindowTitle(QCoreApplication::applicationName());
  box.setText(QString::fromStdString(text));
  box.setStandardButtons(QMessageBox::Ok);
  box.setDefaultButton(QMessageBox::Ok);
  box.exec();
}

}  // namespace globeview
