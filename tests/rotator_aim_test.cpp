#include "view/rotator_aim.h"

#include <gtest/gtest.h>

#include <optional>

namespace globeview {
namespace {

// Worked by hand: the rotator is sent to bearing - offset, turned into its range.
TEST(RotatorAimTest, TheCommandPointsTheAntennaWithinTheRotatorsRange) {
  constexpr std::optional<double> kNowhere;
  const struct {
    double bearing, offset;
    RotatorRange range;
    std::optional<double> current, command;
  } cases[] = {
      {350, 0, {0, 360}, kNowhere, 350},
      {350, 0, {-180, 180}, kNowhere, -10},  // a south stop
      {200, 10, {-180, 180}, kNowhere, -170},
      {5, 10, {0, 360}, kNowhere, 355},
      {180, 0, {-180, 180}, 170.0, 180},  // both ends of the range point south: the nearer one
      {180, 0, {-180, 180}, -170.0, -180},
      {30, 0, {0, 450}, 400.0, 390},  // an overlap past north: no turn the long way round
      {30, 0, {0, 450}, 10.0, 30},
      {30, -20, {0, 450}, kNowhere, 50},
      {270, 0, {0, 180}, 90.0, kNowhere},  // beyond a half-turn rotator's reach
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bearing << " offset " << c.offset << " on "
                                    << c.range.minAz << ".." << c.range.maxAz);
    const std::optional<double> command = RotatorCommand(c.bearing, c.offset, c.range, c.current);
    ASSERT_EQ(command.has_value(), c.command.has_value());
    if (command) {
      EXPECT_NEAR(*command, *c.command, 1e-9);
    }
  }
  EXPECT_NEAR(AntennaBearing(-170, 10), 200, 1e-9);
  EXPECT_NEAR(AntennaBearing(355, 10), 5, 1e-9);
}

}  // namespace
}  // namespace globeview
