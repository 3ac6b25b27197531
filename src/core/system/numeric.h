#pragma once

#include <cmath>
#include <cstddef>
#include <optional>
#include <string_view>

namespace globeview {

// The blanks dropped around a field and around a number: space and tab.
inline bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Whether every value is a finite number: neither infinite nor NaN.
template <typename... Numbers>
bool Finite(Numbers... values) {
  return (std::isfinite(values) && ...);
}

// The decimal number that `text` begins with: an optional sign, digits with an optional decimal
// point ("5", "5.", ".5", at least one digit) and an optional exponent ("e" or "E", optional sign,
// digits; an "e" without digits is not part of the number).
struct DecimalScan {
  std::size_t length = 0;  // the characters of the number; 0 when the text does not begin with one
  bool exact = false;      // `value` is the correctly rounded value, no slower reading needed
  double value = 0;
};

// Scans the number at the start of `text` and, for the everyday numbers of a coastline file, works
// out its value at once: when the digits form an integer a double holds exactly and the power of
// ten is exact too, one multiplication or division rounds correctly (Clinger's fast path), exactly
// as strtod would. Every reader of numbers goes through here, so a number means the same wherever
// it is read.
DecimalScan ScanDecimal(std::string_view text);

// The numeric test: after surrounding blanks (spaces and tabs) are dropped, a text is a number when
// it is a decimal number as ScanDecimal reads it and nothing else: no NaN or infinity, no
// hexadecimal, no separators, no decimal comma; a value that overflows a double is not a number.
// Returns the value the text stands for, or nothing.
std::optional<double> ParseNumber(std::string_view text);

inline bool IsNumeric(std::string_view text) {
  return ParseNumber(text).has_value();
}

}  // namespace globeview
