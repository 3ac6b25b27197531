#pragma once

#include <optional>
#include <string>
#include <variant>

namespace globeview {

// One value of a field file, and the type of the view variables: a number or a text. A text takes
// part in arithmetic as the number it reads as (the numeric test), when it reads as one.
class FieldValue {
 public:
  FieldValue() : value_(std::string()) {}
  FieldValue(double number) : value_(number) {}            // NOLINT: implicit on purpose
  FieldValue(std::string text) : value_(std::move(text)) {}  // NOLINT
  FieldValue(const char* text) : value_(std::string(text)) {}  // NOLINT

  bool IsNumber() const { return std::holds_alternative<double>(value_); }
  bool IsText() const { return !IsNumber(); }
  double Number() const { return std::get<double>(value_); }
  const std::string& Text() const { return std::get<std::string>(value_); }

  // The number this value stands for: the number itself, or a text that passes the numeric test.
  std::optional<double> AsNumber() const;
  // As shown in a text field: a text as it is, a number in its shortest decimal form ("40", "0.5").
  std::string ToText() const;
  // The marker that separates two coastlines: exactly the text "NA" (case-sensitive, no trimming).
  bool IsNA() const { return IsText() && Text() == "NA"; }

  friend bool operator==(const FieldValue&, const FieldValue&) = default;

 private:
  std::variant<double, std::string> value_;
};

}  // namespace globeview
