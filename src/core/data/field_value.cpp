#include "data/field_value.h"

#include "data/field_file.h"
#include "system/numeric.h"

namespace globeview {

std::optional<double> FieldValue::AsNumber() const {
  if (IsNumber()) return Number();
  return ParseNumber(Text());
}

std::string FieldValue::ToText() const {
  return IsNumber() ? FormatNumber(Number()) : Text();
}

}  // namespace globeview
