#include "system/numeric.h"

#include <locale.h>
#include <stdlib.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <system_error>

namespace globeview {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Every power of ten a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kLargestExactPower = 22;
constexpr std::uint64_t kLargestExactInteger = std::uint64_t{1} << 53;

}  // namespace

DecimalScan ScanDecimalInFull(std::string_view text) {
  DecimalScan scan;
  std::size_t i = 0;
  const std::size_t n = text.size();
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  std::uint64_t mantissa = 0;
  bool mantissaExact = true;
  int exponent = 0;
  std::size_t digits = 0;
  const auto takeDigit = [&](char c) {
    ++digits;
    if (!mantissaExact) return;
    mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
    if (mantissa > kLargestExactInteger) mantissaExact = false;
  };
  while (i < n && IsDigit(text[i])) takeDigit(text[i++]);
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && IsDigit(text[i])) {
      takeDigit(text[i++]);
      --exponent;
    }
  }
  if (digits == 0) return scan;

  if (i + 1 < n && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    bool negativeExponent = false;
    if (text[j] == '+' || text[j] == '-') negativeExponent = text[j++] == '-';
    const std::size_t firstDigit = j;
    int written = 0;
    while (j < n && IsDigit(text[j])) {
      if (written < 100000) written = written * 10 + (text[j] - '0');
      ++j;
    }
    if (j > firstDigit) {
      exponent += negativeExponent ? -written : written;
      i = j;
    }
  }
  scan.length = i;

  if (mantissaExact && exponent >= -kLargestExactPower && exponent <= kLargestExactPower) {
    double value = static_cast<double>(mantissa);
    value =
        exponent < 0 ? value / kExactPowersOfTen[-exponent] : value * kExactPowersOfTen[exponent];
    scan.value = negative ? -value : value;
    scan.exact = true;
  }
  return scan;
}

namespace {

// The "C" locale, so a user's locale never changes what a period means.
locale_t CLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  const DecimalScan scan = ScanDecimal(text);
  if (scan.length == 0 || scan.length != text.size()) return std::nullopt;
  if (scan.exact) return scan.value;

  // from_chars rounds correctly, as strtod does, and needs neither a copy nor a locale; it only
  // refuses a leading '+' and leaves results out of range to strtod below.
  std::string_view digits = text;
  if (digits.front() == '+') digits.remove_prefix(1);
  double fast = 0;
  const auto [stop, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), fast);
  if (ec == std::errc() && stop == digits.data() + digits.size()) return fast;

  const std::string copy(text);
  errno = 0;
  char* end = nullptr;
  const double value = strtod_l(copy.c_str(), &end, CLocale());
  // An underflow still stands for a number (zero or a tiny one); an overflow does not.
  if (errno == ERANGE && std::isinf(value)) return std::nullopt;
  return value;
}

}  // namespace globeview
