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

// 300 labels of twelve characters, Latin and Japanese by turns, over a 1920 x 1080 picture: what a
// map's names cost once their glyphs are known (the font is found and the glyphs rasterised
// before the loop, as the first picture with names does once).
void DrawTextBench(benchmark::State& state) {
  constexpr int kWidth = 1920, kHeight = 1080, kLabels = 300;
  const auto pixels =
      std::make_unique_for_overwrite<std::uint32_t[]>(static_cast<std::size_t>(kWidth) * kHeight);
  RasterSurface surface(Rgb32Pixels{reinterpret_cast<std::uint8_t*>(pixels.get()),
                                    static_cast<std::ptrdiff_t>(kWidth) * 4, kWidth, kHeight},
                        kBenchTwipsPerPixel);
  const char* const words[] = {"Buenos Aires", "ウランバートル共和国首都", "Johannesburg",
                               "サンクトペテルブルク港湾"};
  surface.BackColor(kBackground);
  surface.Cls();
  for (auto _ : state) {
    for (int k = 0; k < kLabels; ++k) {
      const double x = (k * 97 % kWidth) * kBenchTwipsPerPixel;
      const double y = (k * 61 % kHeight) * kBenchTwipsPerPixel;
      surface.Text(static_cast<float>(x), static_cast<float>(y), words[k % 4],
                   {13, {255, 255, 255}, TextAnchor::kCentre});
    }
    benchmark::DoNotOptimize(pixels[0]);
  }
}

const bool kRegistered = [] {
  benchmark::RegisterBenchmark("draw_text/1920x1080", DrawTextBench)->Unit(benchmark::kMillisecond);
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
