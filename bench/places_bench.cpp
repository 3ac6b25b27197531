#include <benchmark/benchmark.h>

#include "bench_data.h"
#include "data/places.h"

namespace globeview {
namespace {

// The start-up load of the map's place files: the borders, the country names and the cities, each
// read in one piece and parsed in one pass.
void BM_LoadPlaces(benchmark::State& state) {
  const std::string borders = bench::DataPath(kBordersFile);
  const std::string countries = bench::DataPath(kCountriesFile);
  const std::string cities = bench::DataPath(kCitiesFile);
  for (auto _ : state) {
    benchmark::DoNotOptimize(LoadBorders(borders));
    benchmark::DoNotOptimize(LoadCountryLabels(countries));
    benchmark::DoNotOptimize(LoadCities(cities));
  }
}
BENCHMARK(BM_LoadPlaces)->Name("load_places")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace globeview
