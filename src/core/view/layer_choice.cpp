#include "view/layer_choice.h"

#include <memory>

#include "view/bearing_scale.h"
#include "view/grid_layer.h"
#include "view/map_labels.h"
#include "view/night_layer.h"
#include "view/place_layers.h"
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

bool NeedsPlaces(const LayerChoice& choice) {
  return choice.Has(LayerName::kBorders) || choice.Has(LayerName::kNames) ||
         choice.Has(LayerName::kCities);
}

MapLayers BuildMap(const LayerChoice& choice, MapContent& content, const PictureView& view) {
  MapLayers layers;
  // The texts of every layer that writes any, placed together so none lies over another.
  LabelSources sources;
  sources.rings = choice.Has(LayerName::kBearings);
  if (choice.Has(LayerName::kNames)) sources.countries = content.countries;
  if (choice.Has(LayerName::kCities)) sources.cities = content.cities;
  sources.fields = choice.Has(LayerName::kGrid);
  const auto labels = std::make_shared<const MapLabels>(sources);
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
        if (content.borders != nullptr) {
          layers.push_back(std::make_unique<BordersLayer>(*content.borders));
        }
        break;
      case LayerName::kGrid:
        layers.push_back(std::make_unique<GridLayer>(labels));
        break;
      case LayerName::kBearings:
        layers.push_back(std::make_unique<BearingScaleLayer>(labels));
        break;
      case LayerName::kCities:
        layers.push_back(std::make_unique<CitiesLayer>(labels));
        break;
      case LayerName::kNames:
        layers.push_back(std::make_unique<CountryNamesLayer>(labels));
        break;
    }
  }
  if (view.target) layers.push_back(std::make_unique<TargetLayer>(*view.target));
  return layers;
}

}  // namespace globeview
