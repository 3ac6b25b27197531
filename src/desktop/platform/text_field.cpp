#include "platform/text_field.h"

#include <QLineEdit>
#include <QString>

namespace globeview {

void SetFieldText(QLineEdit& field, const std::string& text) {
  const QString wanted = QString::fromStdString(text);
  if (field.text() == wanted) return;
  field.setText(wanted);
}

std::string FieldText(const QLineEdit& field) {
  return field.text().toStdString();
}

}  // namespace globeview
