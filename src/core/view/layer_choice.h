#pragma once

// Which layers a map shows, and what they draw from: the one place where a program's choice of
// layers becomes the list DrawMap draws, so the window, globeview-render and the benchmarks draw
// the same map from the same choice.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/config_file.h"
#include "data/places.h"
#include "data/point_table.h"
#include "system/utc_time.h"
#include "view/drawing.h"
#include "view/line_breaker.h"
#include "view/map.h"
#include "view/picture.h"

namespace globeview {

// The layers a user can choose, in the map's order, bottom first. The designed picture is coast,
// rings and cross; the target is drawn over them all whenever the view has one.
enum class LayerName {
  kNight,
  kBorders,
  kCoast,
  kGrid,
  kRings,
  kCross,
  kBearings,
  kCities,
  kNames
};
inline constexpr int kLayerNameCount = 9;

// The name a user types for a layer: "night", "borders", "coast", "grid", "rings", "cross",
// "bearings", "cities", "names".
std::string_view NameOf(LayerName layer);
std::optional<LayerName> LayerNamed(std::string_view name);

struct LayerChoice {
  std::array<bool, kLayerNameCount> on{};

  bool Has(LayerName layer) const { return on[static_cast<int>(layer)]; }
  void Set(LayerName layer, bool shown) { on[static_cast<int>(layer)] = shown; }

  // The designed picture's three.
  static LayerChoice Designed();
};

// A comma-separated list of names ("coast,rings,grid"), in any order; the first name that is not a
// layer's comes back as the error.
struct ParsedLayers {
  LayerChoice choice;
  std::optional<std::string> unknown;
};
ParsedLayers ParseLayerList(std::string_view list);

// The section of globeview.conf that keeps the choice: one NAME=on or NAME=off a layer
// ("night=on").
inline constexpr const char* kLayersSection = "layers";

// The designed picture's choice with each layer the section names turned on or off. A name that
// is not a layer's, or a value other than on and off, is skipped with a warning naming the file
// and the line.
LayerChoice LayerChoiceFromConfig(const ConfigRead& config, std::vector<std::string>& warnings);

// The section's entries for a choice: every layer, in the map's order, on or off.
std::vector<std::pair<std::string, std::string>> LayerConfigEntries(const LayerChoice& choice);

// What the layers draw from; what a chosen layer needs must be there (the coastline for "coast").
struct MapContent {
  PointTable* coastline = nullptr;
  // Whether the coastline is projected for each picture (as Start does) or already is.
  TableProjection coastlineProjection = TableProjection::kAfresh;
  // The moment the sun's layer shows.
  UtcTime time{};
  // The place files' contents, for "borders", "names" and "cities"; a layer whose file is not
  // there draws nothing.
  const PreparedLines* borders = nullptr;
  const std::vector<CountryLabel>* countries = nullptr;
  const std::vector<City>* cities = nullptr;
};

// The contents of the place files, as a program holds them for its layers.
struct MapPlaces {
  PreparedLines borders;  // PrepareLines(LoadBorders(...))
  std::vector<CountryLabel> countries;
  std::vector<City> cities;
  // Points the content's place files at these.
  void Into(MapContent& content) const {
    content.borders = &borders;
    content.countries = &countries;
    content.cities = &cities;
  }
};

// Whether a choice draws from the place files.
bool NeedsPlaces(const LayerChoice& choice);

// The chosen layers in the map's order, then the view's target if it has one.
MapLayers BuildMap(const LayerChoice& choice, MapContent& content, const PictureView& view);

}  // namespace globeview
