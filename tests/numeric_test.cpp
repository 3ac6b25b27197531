#include "system/numeric.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <locale>
#include <random>
#include <sstream>
#include <string>

namespace globeview {
namespace {

struct NumericCase {
  const char* text;
  bool isNumber;
  double value;
};

TEST(NumericTest, TakesDecimalNumbersAndRefusesEverythingElse) {
  const NumericCase cases[] = {
      {"5", true, 5},         {"5.", true, 5},         {".5", true, 0.5},
      {"-.5", true, -0.5},    {"+12.25", true, 12.25}, {"  139.7\t", true, 139.7},
      {"1e3", true, 1000},    {"1E-2", true, 0.01},    {"2.5e+2", true, 250},
      {"-0", true, -0.0},     {"1e308", true, 1e308},  {"1e-400", true, 0},
      {"", false, 0},         {"   ", false, 0},       {".", false, 0},
      {"-", false, 0},        {"e5", false, 0},        {"1e", false, 0},
      {"1e+", false, 0},      {"nan", false, 0},       {"inf", false, 0},
      {"Infinity", false, 0}, {"0x10", false, 0},      {"1,000", false, 0},
      {"1,5", false, 0},      {"1 000", false, 0},     {"--1", false, 0},
      {"1.2.3", false, 0},    {"12abc", false, 0},     {"1e400", false, 0},
      {"-1e400", false, 0},   {"NA", false, 0},        {"\xef\xbc\x91", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto parsed = ParseNumber(c.text);
    ASSERT_EQ(parsed.has_value(), c.isNumber);
    EXPECT_EQ(IsNumeric(c.text), c.isNumber);
    if (c.isNumber) {
      EXPECT_EQ(*parsed, c.value);
    }
  }
}

// Where exact arithmetic stops: 2^53 digits, 10^22, and numbers only the full conversion handles.
TEST(NumericTest, ReadsNumbersAtTheEdgesOfExactArithmetic) {
  const NumericCase cases[] = {
      {"9007199254740992", true, 9007199254740992.0},
      {"9007199254740993", true, 9007199254740992.0},
      {"1e22", true, 1e22},
      {"1e23", true, 1e23},
      {"123456789012345678901234567890", true, 1.2345678901234568e29},
      {"00000000000000000000000001.5", true, 1.5},
      {"0.000001e6", true, 1},
      {"4.9e-324", true, 5e-324},
      {"1e-5000", true, 0},
      {"1e99999999999", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto parsed = ParseNumber(c.text);
    ASSERT_EQ(parsed.has_value(), c.isNumber);
    if (c.isNumber) {
      EXPECT_EQ(*parsed, c.value);
    }
  }
}

TEST(NumericTest, KeepsTheSignOfZeroAndReadsTheClosestDouble) {
  EXPECT_TRUE(std::signbit(*ParseNumber("-0.0")));
  EXPECT_EQ(*ParseNumber("0.1"), 0.1);
  EXPECT_EQ(*ParseNumber("1.7976931348623157e308"), std::numeric_limits<double>::max());
}

// The reading must not depend on which of its inner ways a text takes: every decimal text gives the
// double the C library's own conversion gives, bit for bit.
TEST(NumericTest, ReadsEveryShapeOfNumberAsTheCLibraryDoes) {
  std::mt19937 random(7);
  const auto digits = [&](int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += static_cast<char>('0' + random() % 10);
    return text;
  };
  const char* const signs[] = {"", "-", "+"};
  for (int i = 0; i < 20000; ++i) {
    std::string text = signs[random() % 3];
    text += digits(random() % 21);
    if (random() % 2) {
      text += '.';
      text += digits(random() % 21);
    }
    if (text.find_first_of("0123456789") == std::string::npos) text += '7';
    if (random() % 3 == 0) {
      text += random() % 2 ? 'e' : 'E';
      text += signs[random() % 3];
      text += std::to_string(random() % 40);
    }
    std::istringstream stream(text[0] == '+' ? text.substr(1) : text);
    stream.imbue(std::locale::classic());
    double expected = 0;
    stream >> expected;
    SCOPED_TRACE(text);
    ASSERT_FALSE(stream.fail());
    const auto parsed = ParseNumber(text);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(std::bit_cast<std::uint64_t>(*parsed), std::bit_cast<std::uint64_t>(expected));
  }
}

}  // namespace
}  // namespace globeview
