#include "view/layer_choice.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace globeview {
namespace {

// The window's toggles as globeview.conf keeps them: written, read back the same; a damaged or
// unknown line skipped with one warning each, the others still applied.
TEST(LayerChoiceTest, ConfigKeepsTheToggles) {
  test::ScratchDir dir;
  const std::string path = dir.Path(kConfigFile);
  LayerChoice chosen = LayerChoice::Designed();
  chosen.Set(LayerName::kGrid, true);
  chosen.Set(LayerName::kNames, true);
  chosen.Set(LayerName::kCoast, false);
  WriteConfigSection(path, kLayersSection, LayerConfigEntries(chosen));
  std::vector<std::string> warnings;
  EXPECT_EQ(LayerChoiceFromConfig(ReadConfig(path), warnings).on, chosen.on);
  EXPECT_TRUE(warnings.empty());

  dir.Write(kConfigFile,
            "[layers]\ncities=on\nshading=on\ngrid=maybe\nbroken\n[rotator]\nrings=off\n");
  const ConfigRead damaged = ReadConfig(path);
  warnings = damaged.warnings;
  const LayerChoice read = LayerChoiceFromConfig(damaged, warnings);
  LayerChoice expected = LayerChoice::Designed();
  expected.Set(LayerName::kCities, true);
  EXPECT_EQ(read.on, expected.on);
  ASSERT_EQ(warnings.size(), 3U);
  EXPECT_NE(warnings[0].find("line 5"), std::string::npos) << warnings[0];
  EXPECT_NE(warnings[1].find("line 3: \"shading\" is not a layer"), std::string::npos);
  EXPECT_NE(warnings[2].find("line 4: grid is on or off"), std::string::npos);
}

}  // namespace
}  // namespace globeview
