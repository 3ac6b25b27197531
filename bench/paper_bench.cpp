// An A0 sheet of the map as globeview-render --paper A0 makes it: every layer that exists, the
// PDF page made and finished; its size is reported beside the time.

#include <benchmark/benchmark.h>

#include <string>

#include "bench_data.h"
#include "data/coastline.h"
#include "export/picture_file.h"
#include "view/layer_choice.h"

namespace globeview {
namespace {

void PdfA0Bench(benchmark::State& state) {
  static PointTable* table = [] {
    auto* t = new PointTable();
    LoadCoastline(bench::CoastlinePath(), *t);
    return t;
  }();
  PictureView view = PictureView::OfPixels({139.7, 35.7}, 1, 1920, 1080);
  view.target = Place{-74, 40.7};
  LayerChoice every;
  every.on.fill(true);
  MapContent content;
  content.coastline = table;
  content.time = UtcTime{1797854400};  // 2026-12-21T12:00Z
  PaperOptions paper;
  paper.paper = Paper::kA0;
  paper.time = content.time;
  std::size_t bytes = 0;
  for (auto _ : state) {
    bytes =
        PictureFileBytes(BuildMap(every, content, view), view, PictureFormat::kPdf, paper).size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["pdf_MB"] = static_cast<double>(bytes) / 1e6;
}

const bool kRegistered = [] {
  benchmark::RegisterBenchmark("pdf_a0", PdfA0Bench)->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace
}  // namespace globeview
