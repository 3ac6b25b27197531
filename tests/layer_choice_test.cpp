#include "view/layer_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace globeview {
namespace {

// globeview.conf's [layers] as the window reads it at the start: the designed picture's choice,
// changed by each line it can read; the others are skipped with a warning naming the line.
TEST(LayerChoiceTest, ConfigSectionTurnsLayersOnAndOffAndWarnsOfTheRest) {
  const struct {
    std::vector<ConfigEntry> entries;
    bool night, coast;
    std::vector<std::string> warnings;
  } kCases[] = {
      {{}, false, true, {}},
      {{{"layers", "night", "on", 2}, {"layers", "coast", "off", 3}}, true, false, {}},
      {{{"rotator", "night", "on", 2}}, false, true, {}},  // another section's
      {{{"layers", "night", "yes", 4}, {"layers", "sun", "on", 5}},
       false,
       true,
       {"globeview.conf: line 4: night is on or off, not \"yes\"; skipped",
        "globeview.conf: line 5: \"sun\" is not a layer; skipped"}},
  };
  for (const auto& c : kCases) {
    ConfigRead config;
    config.entries = c.entries;
    std::vector<std::string> warnings;
    const LayerChoice choice = LayerChoiceFromConfig(config, warnings);
    EXPECT_EQ(choice.Has(LayerName::kNight), c.night);
    EXPECT_EQ(choice.Has(LayerName::kCoast), c.coast);
    EXPECT_EQ(warnings, c.warnings);
  }
  // What the window writes reads back as the same choice.
  LayerChoice night = LayerChoice::Designed();
  night.Set(LayerName::kNight, true);
  ConfigRead written;
  for (const auto& [name, value] : LayerConfigEntries(night)) {
    written.entries.push_back({kLayersSection, name, value, 1});
  }
  std::vector<std::string> warnings;
  EXPECT_EQ(LayerChoiceFromConfig(written, warnings).on, night.on);
}

}  // namespace
}  // namespace globeview
