#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "export/paper_page.h"
#include "view/map.h"
#include "view/picture.h"

namespace globeview {

// The kinds of picture file: a PNG of the picture's pixels, an SVG of its lines for print, or a
// PDF page of paper with the whole disc and a title block (paper_page.h).
enum class PictureFormat { kPng, kSvg, kPdf };

// A PNG's name that says what the picture shows: "globeview-139.70E-35.70N-x1.png", the centre
// to two decimals east or west of Greenwich, north or south of the equator.
std::string SuggestedFileName(const PictureView& view);

// The format a file's name asks for by its ending, ".png", ".svg" or ".pdf" in any case; none
// otherwise.
std::optional<PictureFormat> FormatOfName(std::string_view path);

// The picture of these layers the window draws of `view`, as the whole content of a file: on a
// screen of the view's size, on the map's background. The PNG's palette is the layers' colours
// (PaletteOf): two bits a pixel for the designed picture, four with a target's two colours.
// A PDF is the page of `paper` instead (PaperPdf). Throws std::bad_alloc, and FontError when a
// PDF's text has no font; empty when the PNG or PDF cannot be encoded.
std::string PictureFileBytes(const MapLayers& layers, const PictureView& view, PictureFormat format,
                             const PaperOptions& paper = {});

}  // namespace globeview
