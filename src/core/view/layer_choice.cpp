#include "view/layer_choice.h"

#include <memory>

#include "view/night_layer.h"
#include "view/target.h"

namespace globeview {

namespace {

constexpr std::array<std::string_view, kLayerNameCount> kNames = {
    "night", "borders", "coast", "grid", "rings", "cross", "bearings", "cities", "names"};

}  // namespace

std::string_view NameOf(LayerName layer) {
  return kNames[static_cast<int>(layer)];
}

std::optional<LayerName> LayerNamed(std::string_view name) {
  for (int k = 0; k < kLayerNameCount; ++k) {
    if (kNames[k] == name) return static_cast<LayerName>(k);
  }
  return std::nullopt;
}

LayerChoice LayerChoice::Designed() {
  LayerChoice choice;
  for (const LayerName layer : {LayerName::kCoast, LayerName::kRings, LayerName::kCross}) {
    choice.Set(layer, true);
  }
  return choice;
}

ParsedLayers ParseLayerList(std::string_view list) {
  ParsedLayers parsed;
  while (true) {
    const std::size_t comma = list.find(',');
    const std::string_view name = list.substr(0, comma);
    if (const std::optional<LayerName> layer = LayerNamed(name)) {
      parsed.choice.Set(*layer, true);
    } else {
      parsed.unknown = std::string(name);
      return parsed;
    }
    if (comma == std::string_view::npos) return parsed;
    list.remove_prefix(comma + 1);
  }
}

LayerChoice LayerChoiceFromConfig(const ConfigRead& config, std::vector<std::string>& warnings) {
  LayerChoice choice = LayerChoice::Designed();
  for (const ConfigEntry& entry : config.Section(kLayersSection)) {
    const std::string where =
        std::string(kConfigFile) + ": line " + std::to_string(entry.line) + ": ";
    const std::optional<LayerName> layer = LayerNamed(entry.name);
    if (!layer) {
      warnings.push_back(where + "\"" + entry.name + "\" is not a layer; skipped");
    } else if (entry.value == "on" || entry.value == "off") {
      choice.Set(*layer, entry.value == "on");
    } else {
      warnings.push_back(where + entry.name + " is on or off, not \"" + entry.value +
                         "\"; skipped");
    }
  }
  return choice;
}

std::vector<std::pair<std::string, std::string>> LayerConfigEntries(const LayerChoice& choice) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (int k = 0; k < kLayerNameCount; ++k) {
    entries.emplace_back(kNames[k], choice.on[k] ? "on" : "off");
  }
  return entries;
}

MapLayers BuildMap(const LayerChoice& choice, MapContent& content, const PictureView& view) {
  MapLayers layers;
  for (int k = 0; k < kLayerNameCount; ++k) {
    if (!choice.on[k]) continue;
    switch (static_cast<LayerName>(k)) {
      case LayerName::kCoast:
        if (content.coastline != nullptr) {
          layers.push_back(
              std::make_unique<CoastlineLayer>(*content.coastline, content.coastlineProjection));
        }
        break;
      case LayerName::kRings:
        layers.push_back(std::make_unique<RingsLayer>());
        break;
      case LayerName::kCross:
        layers.push_back(std::make_unique<CrossLayer>());
        break;
      case LayerName::kNight:
        layers.push_back(std::make_unique<NightLayer>(content.time));
        break;
      case LayerName::kBorders:
      case LayerName::kGrid:
      case LayerName::kBearings:
      case LayerName::kCities:
      case LayerName::kNames:
        break;
    }
  }
  if (view.target) layers.push_back(std::make_unique<TargetLayer>(*view.target));
  return layers;
}

}  // namespace globeview
