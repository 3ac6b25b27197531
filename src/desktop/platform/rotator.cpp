#include "platform/rotator.h"

#include "system/numeric.h"

namespace globeview {

namespace {

constexpr const char* kSection = "rotator";
constexpr double kMostBeam = 360;

}  // namespace

std::optional<RotatorSettings> RotatorSettingsOf(const ConfigRead& config, const std::string& path,
                                                 std::vector<std::string>& warnings) {
  if (!config.HasSection(kSection)) return std::nullopt;
  RotatorSettings settings;
  for (const ConfigEntry& entry : config.Section(kSection)) {
    const std::string where = path + ": line " + std::to_string(entry.line) + ": ";
    const std::optional<double> number = ParseNumber(entry.value);
    bool read = true;
    if (entry.name == "model") {
      read = number && *number == static_cast<int>(*number) && *number > 0;
      if (read) settings.model = static_cast<int>(*number);
    } else if (entry.name == "port") {
      read = !entry.value.empty();
      if (read) settings.port = entry.value;
    } else if (entry.name == "offset") {
      read = number.has_value();
      if (read) settings.offset = *number;
    } else if (entry.name == "beam") {
      read = number && *number >= 0 && *number <= kMostBeam;
      if (read) settings.beam = *number;
    } else {
      warnings.push_back(where + "[rotator] has no setting \"" + entry.name + "\"");
      continue;
    }
    if (!read) {
      warnings.push_back(where + entry.name + "=\"" + entry.value + "\" is not " +
                         (entry.name == "model"  ? "a Hamlib model number"
                          : entry.name == "beam" ? "a width from 0 to 360 degrees"
                          : entry.name == "port" ? "a device or host:port"
                                                 : "a number of degrees"));
    }
  }
  return settings;
}

}  // namespace globeview
