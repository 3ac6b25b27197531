#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "bench_data.h"
#include "data/coastline.h"
#include "output/png_writer.h"
#include "output/raster_surface.h"
#include "view/drawing.h"
#include "view/projection.h"

namespace globeview {
namespace {

constexpr double kBenchTwipsPerPixel = kTwipsPerPixelAt96Dpi;

// The shipped coastline, loaded once.
PointTable& Coastline() {
  static PointTable* table = [] {
    auto* t = new PointTable();
    LoadCoastline(bench::CoastlinePath(), *t);
    return t;
  }();
  return *table;
}

// Tokyo at magnification 1 on a screen of width x height pixels, with or without New York as a
// target.
PictureView Tokyo(int width, int height, bool target = false) {
  PictureView view = PictureView::OfPixels({139.7, 35.7}, 1, width, height, kBenchTwipsPerPixel);
  if (target) view.target = Place{-74, 40.7};
  return view;
}

// The drawing step of a press of Start, the table already projected for the view: the screen
// positions, the picture, and the target's paths when there is one.
void Draw(const PictureView& view, DrawingSurface& surface) {
  surface.BackColor(kBackground);
  DrawProjectedGlobe(Coastline(), view, surface);
}

// The window's picture: 32-bit rows, reused from one press of "Start" to the next.
void DrawPictureBench(benchmark::State& state, int width, int height, bool target) {
  const auto pixels =
      std::make_unique_for_overwrite<std::uint32_t[]>(static_cast<std::size_t>(width) * height);
  RasterSurface surface(Rgb32Pixels{reinterpret_cast<std::uint8_t*>(pixels.get()),
                                    static_cast<std::ptrdiff_t>(width) * 4, width, height},
                        kBenchTwipsPerPixel);
  const PictureView view = Tokyo(width, height, target);
  Project(Coastline(), view.centre);
  for (auto _ : state) {
    Draw(view, surface);
    benchmark::DoNotOptimize(pixels[0]);
  }
}

// What globeview-render does after loading and projecting: a fresh 2-bit picture, drawn and
// encoded as a PNG.
void PngPictureBench(benchmark::State& state, int width, int height) {
  const PictureView view = Tokyo(width, height);
  Project(Coastline(), view.centre);
  for (auto _ : state) {
    PalettePicture picture(width, height, {kBackground, kCoastline, kGrid});
    RasterSurface surface(picture.Pixels(), kBenchTwipsPerPixel);
    Draw(view, surface);
    benchmark::DoNotOptimize(EncodePng(picture).size());
  }
}

const bool kRegistered = [] {
  benchmark::RegisterBenchmark("draw_picture/1920x1080", DrawPictureBench, 1920, 1080, false)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("draw_picture/3840x2160", DrawPictureBench, 3840, 2160, false)
      ->Unit(benchmark::kMillisecond);
  // The cost of a pinned target is the difference to draw_picture/1920x1080.
  benchmark::RegisterBenchmark("draw_picture_target/1920x1080", DrawPictureBench, 1920, 1080, true)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("png_picture/1600x1600", PngPictureBench, 1600, 1600)
      ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace
}  // namespace globeview
