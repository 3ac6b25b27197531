#include "export/picture_file.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "output/png_writer.h"
#include "output/raster_surface.h"
#include "output/svg_writer.h"
#include "system/headless_desktop.h"
#include "view/drawing.h"
#include "view/target.h"

namespace globeview {

namespace {

bool EndsWithAnyCase(std::string_view path, std::string_view ending) {
  return path.size() >= ending.size() &&
         std::equal(ending.begin(), ending.end(), path.end() - ending.size(),
                    [](char want, char got) {
                      return want == std::tolower(static_cast<unsigned char>(got));
                    });
}

// The window's picture on any surface of the view's size: the screen prepared as Start prepares
// it (the black background), then the globe.
void DrawPicture(PointTable& table, const PictureView& view, DrawingSurface& surface) {
  HeadlessDesktop desktop(view.screen.width, view.screen.height);
  PrepareScreen(desktop, surface);
  DrawGlobe(table, view, surface);
}

std::string PngPicture(PointTable& table, const PictureView& view) {
  std::vector<Rgb> palette{kBackground, kCoastline, kGrid};
  if (view.target) palette.insert(palette.end(), {kShortPath, kLongPath});
  PalettePicture picture(view.WidthPixels(), view.HeightPixels(), std::move(palette));
  RasterSurface surface(picture.Pixels(), view.twipsPerPixel);
  DrawPicture(table, view, surface);
  return EncodePng(picture);
}

std::string SvgPicture(PointTable& table, const PictureView& view) {
  SvgWriter svg(view.WidthPixels(), view.HeightPixels(), view.twipsPerPixel);
  DrawPicture(table, view, svg);
  return svg.Document();
}

}  // namespace

std::optional<PictureFormat> FormatOfName(std::string_view path) {
  if (EndsWithAnyCase(path, ".png")) return PictureFormat::kPng;
  if (EndsWithAnyCase(path, ".svg")) return PictureFormat::kSvg;
  return std::nullopt;
}

std::string PictureFileBytes(PointTable& table, const PictureView& view, PictureFormat format) {
  return format == PictureFormat::kSvg ? SvgPicture(table, view) : PngPicture(table, view);
}

}  // namespace globeview
