#include "view/layer_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace globeview {

// globeview.conf's [layers] as the window reads it: the designed picture's choice changed by each
// line it can read; the others skipped with a warning naming the line.
TEST(LayerChoiceTest, ConfigSectionTurnsLayersOnAndOffAndWarnsOfTheRest) {
  ConfigRead config;
  config.entries = {{"layers", "night", "on", 2},
                    {"layers", "coast", "off", 3},
                    {"rotator", "rings", "off", 5},
                    {"layers", "cross", "yes", 7},
                    {"layers", "sun", "on", 8}};
  std::vector<std::string> warnings;
  const LayerChoice choice = LayerChoiceFromConfig(config, warnings);
  EXPECT_TRUE(choice.Has(LayerName::kNight) && !choice.Has(LayerName::kCoast));
  EXPECT_TRUE(choice.Has(LayerName::kRings) && choice.Has(LayerName::kCross));
  EXPECT_EQ(warnings, (std::vector<std::string>{
                          "globeview.conf: line 7: cross is on or off, not \"yes\"; skipped",
                          "globeview.conf: line 8: \"sun\" is not a layer; skipped"}));
}

}  // namespace globeview
