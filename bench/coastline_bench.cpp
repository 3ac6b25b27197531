#include <benchmark/benchmark.h>

#include "bench_data.h"
#include "data/coastline.h"
#include "data/point_table.h"

namespace globeview {
namespace {

// The start-up load: open the coastline file, read it in one piece and parse it in one pass into
// a table allocated once.
void BM_LoadCoastline(benchmark::State& state) {
  const std::string path = bench::CoastlinePath();
  PointTable table;
  for (auto _ : state) {
    const LoadReport report = LoadCoastline(path, table);
    benchmark::DoNotOptimize(report);
    benchmark::DoNotOptimize(table.LonDeg().data());
  }
}
BENCHMARK(BM_LoadCoastline)->Name("load_coastline")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace globeview
