#pragma once

#include <optional>
#include <string_view>

namespace globeview {

// pi as the program uses it everywhere, not the full double-precision value.
inline constexpr double kPi = 3.14159265;

// The numeric test: after surrounding blanks (spaces and tabs) are dropped, a text is a number when
// it is an optional sign, digits with an optional decimal point ("5", "5.", ".5", at least one
// digit) and an optional exponent ("e" or "E", optional sign, digits). Nothing else: no NaN or
// infinity, no hexadecimal, no separators, no decimal comma; a value that overflows a double is not a
// number. Returns the value the text stands for, or nothing.
std::optional<double> ParseNumber(std::string_view text);

inline bool IsNumeric(std::string_view text) { return ParseNumber(text).has_value(); }

}  // namespace globeview
