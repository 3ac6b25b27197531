#include "platform/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace globeview {
namespace {

struct NumericCase {
  const char* text;
  bool isNumber;
  double value;
};

TEST(NumericTest, TakesDecimalNumbersAndRefusesEverythingElse) {
  const NumericCase cases[] = {
      {"5", true, 5},           {"5.", true, 5},         {".5", true, 0.5},
      {"-.5", true, -0.5},      {"+12.25", true, 12.25}, {"  139.7\t", true, 139.7},
      {"1e3", true, 1000},      {"1E-2", true, 0.01},    {"2.5e+2", true, 250},
      {"-0", true, -0.0},       {"1e308", true, 1e308},  {"1e-400", true, 0},
      {"", false, 0},           {"   ", false, 0},       {".", false, 0},
      {"-", false, 0},          {"e5", false, 0},        {"1e", false, 0},
      {"1e+", false, 0},        {"nan", false, 0},       {"inf", false, 0},
      {"Infinity", false, 0},   {"0x10", false, 0},      {"1,000", false, 0},
      {"1,5", false, 0},        {"1 000", false, 0},     {"--1", false, 0},
      {"1.2.3", false, 0},      {"12abc", false, 0},     {"1e400", false, 0},
      {"-1e400", false, 0},     {"NA", false, 0},        {"\xef\xbc\x91", false, 0},
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

TEST(NumericTest, KeepsTheSignOfZeroAndReadsTheClosestDouble) {
  EXPECT_TRUE(std::signbit(*ParseNumber("-0.0")));
  EXPECT_EQ(*ParseNumber("0.1"), 0.1);
  EXPECT_EQ(*ParseNumber("1.7976931348623157e308"), std::numeric_limits<double>::max());
}

}  // namespace
}  // namespace globeview
