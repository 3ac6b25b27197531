#include "view/view_values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace globeview {
namespace {

// A FieldValue as the test expects it to end: a number, or a text kept as typed.
struct Expected {
  bool isNumber;
  double number;
  const char* text;
};

Expected Num(double n) {
  return {true, n, ""};
}
Expected Txt(const char* t) {
  return {false, 0, t};
}

void ExpectValue(const FieldValue& actual, const Expected& expected) {
  ASSERT_EQ(actual.IsNumber(), expected.isNumber) << "value " << actual.ToText();
  if (expected.isNumber) {
    EXPECT_EQ(actual.Number(), expected.number);
  } else {
    EXPECT_EQ(actual.Text(), expected.text);
  }
}

struct NormaliseCase {
  const char* what;
  FieldValue a1, b1, c1;
  Expected a, b, c;
};

TEST(NormaliseTest, BringsEachValueIntoRangeAndKeepsUntouchedTexts) {
  const NormaliseCase cases[] = {
      // Longitude steps.
      {"a 360 stays", "360", "0", "1", Txt("360"), Txt("0"), Txt("1")},
      {"a 0 stays", "0", "0", "1", Txt("0"), Txt("0"), Txt("1")},
      {"a 720 one step", "720", "0", "1", Num(360), Txt("0"), Txt("1")},
      {"a 725 two steps", "725", "0", "1", Num(5), Txt("0"), Txt("1")},
      {"a -1", "-1", "0", "1", Num(359), Txt("0"), Txt("1")},
      {"a -360", "-360", "0", "1", Num(0), Txt("0"), Txt("1")},
      {"a -721", "-721", "0", "1", Num(359), Txt("0"), Txt("1")},
      {"typed 400", "400", "35.7", "1", Num(40), Txt("35.7"), Txt("1")},
      {"a tiny negative rounds to 360", -1e-20, "0", "1", Num(360), Txt("0"), Txt("1")},
      {"a -0 is not below 0", "-0", "0", "1", Txt("-0"), Txt("0"), Txt("1")},
      {"text as typed", " 139.7", "35.70", "2.", Txt(" 139.7"), Txt("35.70"), Txt("2.")},
      // Latitude carried over the pole, turning a by 180.
      {"b 90 stays", "139.7", "90", "1", Txt("139.7"), Txt("90"), Txt("1")},
      {"b -90 stays", "139.7", "-90", "1", Txt("139.7"), Txt("-90"), Txt("1")},
      {"b 100", "10", "100", "1", Num(190), Num(80), Txt("1")},
      {"b -100", "10", "-100", "1", Num(190), Num(-80), Txt("1")},
      {"b 100 turns a past 360", "200", "100", "1", Num(20), Num(80), Txt("1")},
      {"b 180 is the other pole side", "0", "180", "1", Num(180), Num(0), Txt("1")},
      {"b 270 is the south pole", "0", "270", "1", Num(180), Num(-90), Txt("1")},
      {"b 300 two steps", "10", "300", "1", Num(10), Num(-60), Txt("1")},
      {"b -300 two steps", "10", "-300", "1", Num(10), Num(60), Txt("1")},
      {"b 500 three steps", "10", "500", "1", Num(190), Num(40), Txt("1")},
      {"b -500 three steps", "10", "-500", "1", Num(190), Num(-40), Txt("1")},
      {"b 720 is b 0", "10", "720", "1", Num(10), Num(0), Txt("1")},
      // Magnification clamps.
      {"c 0.5", "0", "0", "0.5", Txt("0"), Txt("0"), Num(1)},
      {"c 11", "0", "0", "11", Txt("0"), Txt("0"), Num(10)},
      {"c 10 stays", "0", "0", "10", Txt("0"), Txt("0"), Txt("10")},
      {"c 1 stays", "0", "0", "1", Txt("0"), Txt("0"), Txt("1")},
      {"c negative", "0", "0", "-3", Txt("0"), Txt("0"), Num(1)},
      {"c 1e308", "0", "0", "1e308", Txt("0"), Txt("0"), Num(10)},
      // Numbers from the settings file stay numbers.
      {"numbers in range", 139.7, 35.7, 2.0, Num(139.7), Num(35.7), Num(2)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ViewValues view{c.a1, c.b1, c.c1};
    ASSERT_TRUE(Normalise(view));
    ExpectValue(view.a1, c.a);
    ExpectValue(view.b1, c.b);
    ExpectValue(view.c1, c.c);
  }
}

// The plain repeated steps, for comparing bit for bit.
double RepeatedLongitudeSteps(double a) {
  while (a > 360) a -= 360;
  while (a < 0) a += 360;
  return a;
}

TEST(NormaliseTest, LongValuesEndExactlyWhereTheRepeatedStepsDo) {
  // Each step rounds; only really stepping gives these bits.
  const double values[] = {1234567.891, -987654.321, 359999999.9, -359999999.9, 1e5 + 0.1};
  for (double v : values) {
    SCOPED_TRACE(v);
    ViewValues view{v, 0.0, 1.0};
    ASSERT_TRUE(Normalise(view));
    EXPECT_EQ(view.a1.Number(), RepeatedLongitudeSteps(v));
  }
}

TEST(NormaliseTest, EnormousValuesFinishInRange) {
  const double max = std::numeric_limits<double>::max();
  const double values[] = {1e308, -1e308, max, -max, 3.6e12, -3.6e12, 1e20 + 1};
  for (double a : values) {
    for (double b : values) {
      SCOPED_TRACE(std::to_string(a) + " " + std::to_string(b));
      ViewValues view{a, b, a};
      ASSERT_TRUE(Normalise(view));
      const double na = view.a1.Number();
      const double nb = view.b1.Number();
      EXPECT_GE(na, 0);
      EXPECT_LE(na, 360);
      EXPECT_GE(nb, -90);
      EXPECT_LE(nb, 90);
      EXPECT_TRUE(view.c1.Number() == 1 || view.c1.Number() == 10);
    }
  }
  // Exact multiples of a turn end where the steps would: on the bound 360, or on 0.
  ViewValues multiple{3.6e12, "0", "1"};
  ASSERT_TRUE(Normalise(multiple));
  EXPECT_EQ(multiple.a1.Number(), 360);
  ViewValues negativeMultiple{-3.6e12, "0", "1"};
  ASSERT_TRUE(Normalise(negativeMultiple));
  EXPECT_EQ(negativeMultiple.a1.Number(), 0);
  EXPECT_FALSE(std::signbit(negativeMultiple.a1.Number()));
}

// Equal, counting a NaN number as equal to itself.
bool Same(const FieldValue& x, const FieldValue& y) {
  if (x.IsNumber() && y.IsNumber() && std::isnan(x.Number())) return std::isnan(y.Number());
  return x == y;
}

TEST(NormaliseTest, RefusesValuesThatAreNotFiniteNumbersAndChangesNothing) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const ViewValues cases[] = {
      {"abc", "100", "20"}, {"400", "", "20"},  {"400", "100", "x"},
      {inf, "100", "20"},   {"400", nan, "20"}, {"400", "100", -inf},
  };
  for (const auto& c : cases) {
    ViewValues view = c;
    EXPECT_FALSE(Normalise(view));
    EXPECT_TRUE(Same(view.a1, c.a1));
    EXPECT_TRUE(Same(view.b1, c.b1));
    EXPECT_TRUE(Same(view.c1, c.c1));
  }
}

TEST(ValidateTest, GivesOneMessagePerFailingFieldInFieldOrder) {
  const std::string L = kLongitudeMessage, B = kLatitudeMessage, M = kMagnificationMessage;
  struct Case {
    const char *t1, *t2, *t3;
    std::vector<std::string> messages;
  } cases[] = {
      {"139.7", "35.7", "1", {}},    {"", "35.7", "1", {L}},     {"139.7", "north", "1", {B}},
      {"139.7", "35.7", "1,5", {M}}, {"x", "", "NA", {L, B, M}}, {"e", "35.7", "inf", {L, M}},
      {" 400 ", "-1e3", "+.5", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.t1) + "|" + c.t2 + "|" + c.t3);
    EXPECT_EQ(Validate(c.t1, c.t2, c.t3), c.messages);
  }
}

}  // namespace
}  // namespace globeview
