#include <benchmark/benchmark.h>
#include <proj.h>

#include <cmath>
#include <exception>
#include <vector>

#include "bench_data.h"
#include "data/coastline.h"
#include "data/point_table.h"
#include "system/drawing_surface.h"
#include "view/projection.h"
#include "view/projection_vector.h"

namespace globeview {
namespace {

constexpr double kCentreLon = 139.7;
constexpr double kCentreLat = 35.7;
const PictureView kScreen = PictureView::OfPixels({kCentreLon, kCentreLat}, 1, 1920, 1080);

// A stand-in when no coastline file is at hand: a spiral over the globe with a break every 100th
// entry, about as many usable points as the shipped file.
void FillSynthetic(PointTable& t) {
  for (int i = 1; i <= kPointCount; ++i) {
    const bool isBreak = i % 100 == 0;
    t.SetSource(i, isBreak ? FieldValue("NA") : FieldValue(std::fmod(i * 0.61, 360.0) - 180),
                isBreak ? FieldValue("NA") : FieldValue(std::fmod(i * 0.0029, 180.0) - 90));
  }
}

PointTable& Table() {
  static PointTable* table = [] {
    auto* t = new PointTable();
    try {
      LoadCoastline(bench::CoastlinePath(), *t);
    } catch (const std::exception&) {
      FillSynthetic(*t);
    }
    return t;
  }();
  return *table;
}

// Labelled with the instruction set the projection runs on.
void BM_Project(benchmark::State& state) {
  PointTable& table = Table();
  for (auto _ : state) {
    Project(table, {kCentreLon, kCentreLat});
    benchmark::DoNotOptimize(table.Az().data());
    benchmark::DoNotOptimize(table.El().data());
    benchmark::ClobberMemory();
  }
  state.SetLabel(ProjectionTarget());
}
BENCHMARK(BM_Project)->Name("project")->Unit(benchmark::kMicrosecond);

// The screen positions of every entry on a 1920x1080 screen.
void BM_ScreenPositions(benchmark::State& state) {
  PointTable& table = Table();
  Project(table, {kCentreLon, kCentreLat});
  for (auto _ : state) {
    ComputeScreenPositions(table, kScreen);
    benchmark::DoNotOptimize(table.Sx().data());
    benchmark::DoNotOptimize(table.Sy().data());
    benchmark::ClobberMemory();
  }
  state.SetLabel(ProjectionTarget());
}
BENCHMARK(BM_ScreenPositions)->Name("screen_positions")->Unit(benchmark::kMicrosecond);

// PROJ's own azimuthal equidistant projection on the same points, for scale.
void BM_ProjAeqd(benchmark::State& state) {
  const PointTable& table = Table();
  PJ_CONTEXT* ctx = proj_context_create();
  PJ* pj = proj_create(ctx, "+proj=aeqd +lat_0=35.7 +lon_0=139.7 +R=1");
  if (pj == nullptr) {
    state.SkipWithError("PROJ cannot create the aeqd projection");
    proj_context_destroy(ctx);
    return;
  }
  const double toInput = proj_degree_input(pj, PJ_FWD) ? 1.0 : M_PI / 180;
  std::vector<double> lonIn, latIn;
  for (int i = 1; i <= kPointCount; ++i) {
    if (!table.IsUsable(i)) continue;
    lonIn.push_back(table.LonDeg()[i] * toInput);
    latIn.push_back(table.LatDeg()[i] * toInput);
  }
  std::vector<double> x(lonIn.size()), y(lonIn.size());
  const auto count = lonIn.size();
  for (auto _ : state) {
    x = lonIn;
    y = latIn;
    proj_trans_generic(pj, PJ_FWD, x.data(), sizeof(double), count, y.data(), sizeof(double), count,
                       nullptr, 0, 0, nullptr, 0, 0);
    benchmark::DoNotOptimize(x.data());
    benchmark::DoNotOptimize(y.data());
    benchmark::ClobberMemory();
  }
  proj_destroy(pj);
  proj_context_destroy(ctx);
}
BENCHMARK(BM_ProjAeqd)->Name("proj_aeqd")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace globeview
