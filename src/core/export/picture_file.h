#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "data/point_table.h"
#include "view/picture.h"

namespace globeview {

// The kinds of picture file: a PNG of the picture's pixels, or an SVG of its lines for print.
enum class PictureFormat { kPng, kSvg };

// A PNG's name that says what the picture shows: "globeview-139.70E-35.70N-x1.png", the centre
// to two decimals east or west of Greenwich, north or south of the equator.
std::string SuggestedFileName(const PictureView& view);

// The format a file's name asks for by its ending, ".png" or ".svg" in any case; none otherwise.
std::optional<PictureFormat> FormatOfName(std::string_view path);

// The picture the window draws of `view`, its target included, as the whole content of a file:
// on a screen of the view's size, black behind it. The PNG holds two bits a pixel, four with a
// target's two colours. Throws std::bad_alloc; empty when the PNG cannot be encoded.
std::string PictureFileBytes(PointTable& table, const PictureView& view, PictureFormat format);

}  // namespace globeview
