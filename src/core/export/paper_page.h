#pragma once

// The map on paper: the whole disc centred on a sheet, a title block under it (the centre or a
// title, the date, the projection, the sphere and the scale, a scale bar in km), black on white
// unless the screen's colours are asked for, as one PDF page.

#include <optional>
#include <string>
#include <string_view>

#include "system/utc_time.h"
#include "view/map.h"
#include "view/picture.h"

namespace globeview {

enum class Paper { kA4, kA3, kA2, kA1, kA0, kLetter, kTabloid };

// The name a user types, "A4" (any case), "letter", "tabloid"; none for another.
std::optional<Paper> PaperNamed(std::string_view name);

struct PaperOptions {
  Paper paper = Paper::kA4;
  bool landscape = false;
  // The title block's first line; empty: the centre's longitude, latitude and locator.
  std::string title;
  // The screen's colours on its black ground, instead of black on white for printing.
  bool screenColours = false;
  // The moment printed as the map's date.
  UtcTime time{};
};

// A sheet's size in millimetres, turned for landscape.
struct SheetSize {
  double widthMm = 0;
  double heightMm = 0;
};
SheetSize SheetOf(const PaperOptions& paper);

// The disc's radius on the sheet, millimetres: half the shorter side less its margins, times the
// view's magnification.
double DiscRadiusMm(const PaperOptions& paper, double magnification);

// The PDF page of these layers showing the view's centre, magnification and target (its screen is
// the sheet's). Empty when cairo could not make it; throws std::bad_alloc, and FontError when the
// program's font cannot be had.
std::string PaperPdf(const MapLayers& layers, const PictureView& view, const PaperOptions& paper);

}  // namespace globeview
