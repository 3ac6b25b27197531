#include <benchmark/benchmark.h>

#include <QImage>

#include "bench_data.h"
#include "data/coastline.h"
#include "system/headless_desktop.h"
#include "platform/image_surface.h"
#include "view/drawing.h"
#include "view/projection.h"

namespace globeview {
namespace {

constexpr double kBenchTwipsPerPixel = kTwipsPerPixelAt96Dpi;

// The shipped coastline seen from Tokyo, projected once: the benchmark times the drawing alone.
PointTable& TokyoTable() {
  static PointTable* table = [] {
    auto* t = new PointTable();
    LoadCoastline(bench::CoastlinePath(), *t);
    Project(*t, 139.7, 35.7);
    return t;
  }();
  return *table;
}

// QImage and QPainter draw lines and points without a QGuiApplication.
void DrawPictureBench(benchmark::State& state, int width, int height) {
  PointTable& table = TokyoTable();
  QImage image(width, height, QImage::Format_RGB32);
  const double w = width * kBenchTwipsPerPixel;
  const double h = height * kBenchTwipsPerPixel;
  HeadlessDesktop desktop(w, h);  // only the drawing is measured
  for (auto _ : state) {
    ImageSurface surface(image, kBenchTwipsPerPixel);
    const ScreenSize screen = PrepareScreen(desktop, surface);
    DrawPicture(table, 1, screen, surface, desktop);
    surface.Flush();
    benchmark::DoNotOptimize(image.constBits());
  }
}

const bool kRegistered = [] {
  benchmark::RegisterBenchmark("draw_picture/1920x1080", DrawPictureBench, 1920, 1080)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("draw_picture/3840x2160", DrawPictureBench, 3840, 2160)
      ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace
}  // namespace globeview
