#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench_data.h"
#include "data/locations.h"
#include "data/places.h"
#include "platform/qt_desktop.h"
#include "ui/form1.h"

namespace globeview {
namespace {

// The real pointer, event pass and window, on a screen of a chosen size in pixels: the offscreen
// platform's own screen is another size. Attached to the window once it exists.
class SizedScreen final : public Desktop {
 public:
  SizedScreen(int widthPx, int heightPx) : widthPx_(widthPx), heightPx_(heightPx) {}
  void Attach(QWidget& window) {
    real_ = std::make_unique<QtDesktop>(window);
    width_ = widthPx_ * kTwipsPerInch / window.logicalDpiX();
    height_ = heightPx_ * kTwipsPerInch / window.logicalDpiY();
  }

  double ScreenWidth() const override { return width_; }
  double ScreenHeight() const override { return height_; }
  void SetMousePointer(MousePointer pointer) override { real_->SetMousePointer(pointer); }
  void DoEvents() override { real_->DoEvents(); }
  void MaximiseWindow() override { real_->MaximiseWindow(); }

 private:
  int widthPx_;
  int heightPx_;
  double width_ = 0;
  double height_ = 0;
  std::unique_ptr<QtDesktop> real_;
};

// One press of "Start" on a shown window, from the check of the fields to the finished picture:
// of the designed picture, or with the layers that `layers` turns on in globeview.conf's [layers].
void StartToPicture(benchmark::State& state, int widthPx, int heightPx, const char* layers) {
  if (QApplication::instance() == nullptr) {
    state.SkipWithError("needs a QApplication");
    return;
  }
  SizedScreen screen(widthPx, heightPx);
  Form1Services services;
  services.desktop = &screen;
  // The shipped coastline, and no view file: the fields are set below.
  services.files = FileLocations{{bench::CoastlinePath()}, {""}, ""};
  const std::string config =
      (std::filesystem::temp_directory_path() / "globeview-bench.conf").string();
  const bool chosen = *layers != '\0';
  if (chosen) {
    services.files->borders = {bench::DataPath(kBordersFile)};
    services.files->countries = {bench::DataPath(kCountriesFile)};
    services.files->cities = {bench::DataPath(kCitiesFile)};
    std::ofstream(config) << "[layers]\n" << layers;
    services.files->config = config;
  }
  Form1 form(services);
  screen.Attach(form);
  form.Form_Load();
  form.findChild<QLineEdit*>("Text1")->setText("139.7");
  form.findChild<QLineEdit*>("Text2")->setText("35.7");
  form.findChild<QLineEdit*>("Text3")->setText("1");
  form.resize(widthPx, heightPx);
  form.show();
  QApplication::processEvents();
  if (chosen) std::filesystem::remove(config);

  for (auto _ : state) {
    form.Command1_Click();
    benchmark::DoNotOptimize(form.Picture().constBits());
    // The repaint of the finished picture follows the click; a user's next click comes after it.
    state.PauseTiming();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}

[[maybe_unused]] const auto* const kStartToPicture =
    benchmark::RegisterBenchmark("start_to_picture/1920x1080", StartToPicture, 1920, 1080, "")
        -> Unit(benchmark::kMillisecond);
[[maybe_unused]] const auto* const kStartToPictureNight =
    benchmark::RegisterBenchmark("start_to_picture_night/1920x1080", StartToPicture, 1920, 1080,
                                 "night=on\n") -> Unit(benchmark::kMillisecond);
[[maybe_unused]] const auto* const kStartToPictureAllLayers =
    benchmark::RegisterBenchmark("start_to_picture_all_layers/1920x1080", StartToPicture, 1920,
                                 1080, "borders=on\nnames=on\ncities=on\nbearings=on\ngrid=on\n")
        -> Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace globeview
