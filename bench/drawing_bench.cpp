#include <benchmark/benchmark.h>

#include <QImage>

#include "bench_data.h"
#include "data/coastline.h"
#include "platform/desktop.h"
#include "platform/image_surface.h"
#include "view/drawing.h"
#include "view/projection.h"

namespace globeview {
namespace {

constexpr double kBenchTwipsPerPixel = 15;

// A screen of the image's size that does nothing else, so only the drawing is measured.
class QuietDesktop final : public Desktop {
 public:
  QuietDesktop(double width, double height) : width_(width), height_(height) {}
  double ScreenWidth() const override { return width_; }
  double ScreenHeight() const override { return height_; }
  void SetMousePointer(MousePointer) override {}
  void DoEvents() override {}
  void MaximiseWindow() override {}

 private:
  double width_, height_;
};

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
  QuietDesktop desktop(w, h);
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
