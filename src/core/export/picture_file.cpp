#include "export/picture_file.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <vector>

#include "output/png_writer.h"
#include "output/raster_surface.h"
#include "output/svg_writer.h"

namespace globeview {

namespace {

bool EndsWithAnyCase(std::string_view path, std::string_view ending) {
  return path.size() >= ending.size() &&
         std::equal(ending.begin(), ending.end(), path.end() - ending.size(),
                    [](char want, char got) {
                      return want == std::tolower(static_cast<unsigned char>(got));
                    });
}

std::string PngPicture(const MapLayers& layers, const PictureView& view) {
  PalettePicture picture(view.WidthPixels(), view.HeightPixels(), PaletteOf(layers));
  RasterSurface surface(picture.Pixels(), view.twipsPerPixel);
  surface.BackColor(kBackground);
  DrawMap(layers, view, surface);
  return EncodePng(picture);
}

std::string SvgPicture(const MapLayers& layers, const PictureView& view) {
  SvgWriter svg(view.WidthPixels(), view.HeightPixels(), view.twipsPerPixel);
  svg.BackColor(kBackground);
  DrawMap(layers, view, svg);
  return svg.Document();
}

// "139.70E", "74.00W"; a value that rounds to zero takes the positive side.
std::string Degrees(double degrees, char positive, char negative) {
  char buffer[32];
  char* end =
      std::to_chars(buffer, buffer + sizeof buffer, std::fabs(degrees), std::chars_format::fixed, 2)
          .ptr;
  std::string text(buffer, end);
  return text + (degrees < 0 && text != "0.00" ? negative : positive);
}

}  // namespace

std::string SuggestedFileName(const PictureView& view) {
  // The centre's longitude is kept in 0..360; beyond 180 it lies west.
  const double lon = view.centre.lon > 180 ? view.centre.lon - 360 : view.centre.lon;
  char magnification[32];
  char* end =
      std::to_chars(magnification, magnification + sizeof magnification, view.magnification).ptr;
  return "globeview-" + Degrees(lon, 'E', 'W') + '-' + Degrees(view.centre.lat, 'N', 'S') + "-x" +
         std::string(magnification, end) + ".png";
}

std::optional<PictureFormat> FormatOfName(std::string_view path) {
  if (EndsWithAnyCase(path, ".png")) return PictureFormat::kPng;
  if (EndsWithAnyCase(path, ".svg")) return PictureFormat::kSvg;
  if (EndsWithAnyCase(path, ".pdf")) return PictureFormat::kPdf;
  return std::nullopt;
}

std::string PictureFileBytes(const MapLayers& layers, const PictureView& view, PictureFormat format,
                             const PaperOptions& paper) {
  switch (format) {
    case PictureFormat::kSvg:
      return SvgPicture(layers, view);
    case PictureFormat::kPdf:
      return PaperPdf(layers, view, paper);
    case PictureFormat::kPng:
      break;
  }
  return PngPicture(layers, view);
}

}  // namespace globeview
