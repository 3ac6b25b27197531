#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "bench_data.h"
#include "data/coastline.h"
#include "output/svg_writer.h"
#include "view/drawing.h"
#include "view/geodesy.h"
#include "view/projection.h"
#include "view/readout.h"
#include "view/target.h"

namespace globeview {
namespace {

constexpr double kBenchTwipsPerPixel = kTwipsPerPixelAt96Dpi;
constexpr double kTokyoLon = 139.7;
constexpr double kTokyoLat = 35.7;

// One move of the pointer over the picture: the place under it, its bearing and distance from the
// centre, and the readout's text. The pointer wanders over the whole disc, so no branch is
// favoured. withLocator: the line with the place's Maidenhead locator appended, as the window
// shows it.
void PointerReadout(benchmark::State& state, bool withLocator) {
  const PictureView view =
      PictureView::OfPixels({kTokyoLon, kTokyoLat}, 1, 1920, 1080, kBenchTwipsPerPixel);
  std::vector<ScreenPosition> path;
  for (int k = 0; k < 256; ++k) {
    const double radius = view.screen.height / 2 * (k % 97) / 97.0;
    path.push_back({view.screen.width / 2 + radius * std::sin(k * 0.7),
                    view.screen.height / 2 + radius * std::cos(k * 0.7)});
  }
  // Made once per picture, as the window makes it.
  const Projector projector(view);
  std::size_t k = 0;
  for (auto _ : state) {
    const ScreenPosition at = path[k++ % path.size()];
    std::optional<std::string> text;
    if (withLocator) {
      text = PointerReadoutAt(projector, at);
    } else if (const std::optional<Place> place = projector.PlaceAt(at)) {
      text = ReadoutText(*place, HeadingFromCentre(view, *place));
    }
    benchmark::DoNotOptimize(text);
  }
}

// The shipped coastline, loaded once: the benchmark times what an SVG export adds to the load.
PointTable& Coastline() {
  static PointTable* table = [] {
    auto* t = new PointTable();
    LoadCoastline(bench::CoastlinePath(), *t);
    return t;
  }();
  return *table;
}

// Projection, the drawing into the SVG writer and the finished document, as globeview-render's
// --out FILE.svg makes it.
void SvgPicture(benchmark::State& state, int width, int height) {
  PointTable& table = Coastline();
  const PictureView view =
      PictureView::OfPixels({kTokyoLon, kTokyoLat}, 1, width, height, kBenchTwipsPerPixel);
  std::size_t bytes = 0;
  for (auto _ : state) {
    SvgWriter svg(view.WidthPixels(), view.HeightPixels(), view.twipsPerPixel);
    svg.BackColor(kBackground);
    DrawGlobe(table, view, svg);
    const std::string document = svg.Document();
    bytes = document.size();
    benchmark::DoNotOptimize(document.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

const bool kRegistered = [] {
  benchmark::RegisterBenchmark("pointer_readout", PointerReadout, false)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("pointer_readout_locator", PointerReadout, true)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("svg_picture/1920x1080", SvgPicture, 1920, 1080)
      ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace
}  // namespace globeview
