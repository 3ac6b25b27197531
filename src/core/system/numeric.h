#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace globeview {

// The blanks dropped around a field and around a number: space and tab.
inline bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// A line of text without the blanks around it, nor the CR of a line ended by CR LF.
inline std::string_view TrimmedLine(std::string_view text) {
  const auto space = [](char c) { return IsBlank(c) || c == '\r'; };
  while (!text.empty() && space(text.front())) text.remove_prefix(1);
  while (!text.empty() && space(text.back())) text.remove_suffix(1);
  return text;
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
inline DecimalScan ScanDecimal(std::string_view text);

// ScanDecimal for any number; ScanDecimal itself takes the everyday ones.
DecimalScan ScanDecimalInFull(std::string_view text);

inline DecimalScan ScanDecimal(std::string_view text) {
  // The everyday case, a minus sign at most and up to 15 digits around a point: they form an
  // integer a double holds exactly, divided by an exact power of ten, so this is the value the
  // full scan gives, in one pass and inline in the file reader's loop.
  static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  constexpr std::size_t kMostDigits = 15;
  const char* p = text.data();
  const char* const end = p + text.size();
  const bool negative = p < end && *p == '-';
  p += negative ? 1 : 0;
  // Digits beyond the fifteenth only wrap the sum, which is then not used.
  std::uint64_t digits = 0;
  const char* const whole = p;
  while (p < end && static_cast<unsigned char>(*p - '0') < 10) {
    digits = digits * 10 + static_cast<std::uint64_t>(*p++ - '0');
  }
  std::size_t count = static_cast<std::size_t>(p - whole);
  std::size_t decimals = 0;
  if (p < end && *p == '.') {
    const char* const fraction = ++p;
    while (p < end && static_cast<unsigned char>(*p - '0') < 10) {
      digits = digits * 10 + static_cast<std::uint64_t>(*p++ - '0');
    }
    decimals = static_cast<std::size_t>(p - fraction);
    count += decimals;
  }
  if (count == 0 || count > kMostDigits || (p < end && (*p == 'e' || *p == 'E'))) {
    return ScanDecimalInFull(text);
  }
  const double magnitude = static_cast<double>(digits) / kPowersOfTen[decimals];
  return {static_cast<std::size_t>(p - text.data()), true, negative ? -magnitude : magnitude};
}

// The numeric test: after surrounding blanks (spaces and tabs) are dropped, a text is a number when
// it is a decimal number as ScanDecimal reads it and nothing else: no NaN or infinity, no
// hexadecimal, no separators, no decimal comma; a value that overflows a double is not a number.
// Returns the value the text stands for, or nothing.
std::optional<double> ParseNumber(std::string_view text);

inline bool IsNumeric(std::string_view text) {
  return ParseNumber(text).has_value();
}

}  // namespace globeview
