#include "export/paper_page.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <vector>

#include "output/pdf_surface.h"
#include "system/text_font.h"
#include "view/drawing.h"
#include "view/geodesy.h"
#include "view/locator.h"
#include "view/projection.h"
#include "view/readout.h"

namespace globeview {

namespace {

constexpr double kTwipsPerMm = kTwipsPerInch / 25.4;
// The blank border of the sheet, outside the disc and the title block.
constexpr double kMarginMm = 10;
// One pixel of the layers on paper: their one-pixel lines print 0.25 mm wide, their texts at
// about the size they have on a screen.
constexpr double kPixelMm = 0.25;
// The title block's text height, a part of the sheet's shorter side: 3.5 mm (10 points) on A4.
constexpr double kTextPartOfSheet = 1.0 / 60;
constexpr double kLineSpacing = 1.3;  // ems from one baseline to the next
// The scale bar is at most a quarter of the disc's diameter long.
constexpr double kLongestBarPartOfDisc = 0.25;
// Kilometres from the centre to the 180-degree ring: half a great circle of the program's sphere.
constexpr double kHalfCircleKm = kGreatCircleKm / 2;

struct NamedPaper {
  const char* name;
  SheetSize size;
};
constexpr NamedPaper kPapers[] = {
    {"a4", {210, 297}},          {"a3", {297, 420}},  {"a2", {420, 594}},
    {"a1", {594, 841}},          {"a0", {841, 1189}}, {"letter", {215.9, 279.4}},
    {"tabloid", {279.4, 431.8}},
};

// The screen's colours for black on white paper: the black ground white, white lines black, a
// grey as much darker as it was lighter; any other colour's lightness turned over the same way
// (a dark fill becomes a light one), and one still bright is darkened so it shows on white.
Rgb PrintColour(Rgb c) {
  const int most = std::max({c.r, c.g, c.b});
  const int least = std::min({c.r, c.g, c.b});
  const int shift = 255 - most - least;
  Rgb turned{c.r + shift, c.g + shift, c.b + shift};
  if (most != least && most + least >= 255 && most + least + 2 * shift >= 255) {
    turned = {turned.r * 7 / 10, turned.g * 7 / 10, turned.b * 7 / 10};
  }
  return turned;
}

// A surface that hands every drawing on to another in print colours.
class PrintColours final : public DrawingSurface {
 public:
  explicit PrintColours(DrawingSurface& paper) : paper_(paper) {}
  void BackColor(Rgb colour) override { paper_.BackColor(PrintColour(colour)); }
  void ForeColor(Rgb colour) override { paper_.ForeColor(PrintColour(colour)); }
  void DrawWidth(int pixels) override { paper_.DrawWidth(pixels); }
  void Cls() override { paper_.Cls(); }
  void Line(float x1, float y1, float x2, float y2) override { paper_.Line(x1, y1, x2, y2); }
  void Circle(float x, float y, float radius, Rgb colour) override {
    paper_.Circle(x, y, radius, PrintColour(colour));
  }
  void Polygon(std::span<const SurfacePoint> corners, Rgb colour) override {
    paper_.Polygon(corners, PrintColour(colour));
  }
  void Text(float x, float y, std::string_view utf8, const TextStyle& style) override {
    TextStyle printed = style;
    printed.colour = PrintColour(style.colour);
    paper_.Text(x, y, utf8, printed);
  }

 private:
  DrawingSurface& paper_;
};

float Twips(double mm) {
  return static_cast<float>(mm * kTwipsPerMm);
}

// "139.70° E  35.70° N  PM95uq".
std::string CentreText(const PictureView& view) {
  const Place centre = DrawnCentre(view);
  char text[64];
  std::snprintf(text, sizeof text, "%.2f\u00B0 %c  %.2f\u00B0 %c  ", std::fabs(centre.lon),
                centre.lon < 0 ? 'W' : 'E', std::fabs(centre.lat), centre.lat < 0 ? 'S' : 'N');
  return text + LocatorOf(centre);
}

// "2026-12-21 07:58 UTC".
std::string DateText(UtcTime time) {
  return UtcMinuteText(time).substr(0, 10) + ' ' + UtcClockText(time) + " UTC";
}

// The scale's denominator to three significant figures, thousands separated: "211,000,000".
std::string ScaleText(double denominator) {
  const double step = std::pow(10.0, std::floor(std::log10(denominator)) - 2);
  return "scale 1 : " + ReadoutKilometres(std::round(denominator / step) * step);
}

// The longest bar of 1, 2 or 5 times a power of ten km at most `longestKm` long.
double BarKm(double longestKm) {
  const double power = std::pow(10.0, std::floor(std::log10(longestKm)));
  for (const double step : {5.0, 2.0, 1.0}) {
    if (step * power <= longestKm) return step * power;
  }
  return power;
}

// The title block, its bottom left at the sheet's bottom-left margin: the lines of text, then the
// scale bar with its ticks at 0, half and the whole length, the kilometres under them.
void DrawTitleBlock(DrawingSurface& surface, const PictureView& view, const PaperOptions& paper,
                    double discRadiusMm) {
  const SheetSize sheet = SheetOf(paper);
  const double emMm = std::min(sheet.widthMm, sheet.heightMm) * kTextPartOfSheet;
  const double emPixels = emMm / kPixelMm;
  const double mmPerKm = discRadiusMm / kHalfCircleKm;
  const double barKm = BarKm(kLongestBarPartOfDisc * 2 * discRadiusMm / mmPerKm);
  const double barMm = barKm * mmPerKm;
  const std::vector<std::string> lines = {
      paper.title.empty() ? CentreText(view) : paper.title, DateText(paper.time),
      "azimuthal equidistant projection", "sphere of radius 6371 km",
      ScaleText(discRadiusMm == 0 ? 1 : kHalfCircleKm * 1e6 / discRadiusMm)};

  const double left = kMarginMm;
  const double barY = sheet.heightMm - kMarginMm - 1.6 * emMm;
  const double top = barY - 1.2 * emMm - lines.size() * kLineSpacing * emMm;
  if (view.magnification > 1) {
    // The disc runs under the block: a ground for it, as wide as its longest line.
    double widest = barMm + 3 * emMm;
    for (const std::string& line : lines) {
      widest = std::max(widest, TextFont::Shared().Measure(line, emPixels).width * kPixelMm);
    }
    const double pad = emMm / 2;
    const SurfacePoint ground[] = {
        {Twips(left - pad), Twips(top - pad)},
        {Twips(left + widest + pad), Twips(top - pad)},
        {Twips(left + widest + pad), Twips(sheet.heightMm - kMarginMm + pad)},
        {Twips(left - pad), Twips(sheet.heightMm - kMarginMm + pad)}};
    surface.Polygon(ground, kBackground);
  }
  TextStyle style{emPixels * 1.2, kCoastline, TextAnchor::kTopLeft};
  double y = top;
  for (const std::string& line : lines) {
    surface.Text(Twips(left), Twips(y), line, style);
    y += (style.pixelSize * kPixelMm) * kLineSpacing;
    style.pixelSize = emPixels;
  }
  surface.ForeColor(kCoastline);
  surface.DrawWidth(1);
  surface.Line(Twips(left), Twips(barY), Twips(left + barMm), Twips(barY));
  TextStyle label{emPixels * 0.8, kCoastline, TextAnchor::kTop};
  for (const double part : {0.0, 0.5, 1.0}) {
    const float x = Twips(left + part * barMm);
    surface.Line(x, Twips(barY - emMm / 2), x, Twips(barY));
    const std::string km = ReadoutKilometres(part * barKm);
    surface.Text(x, Twips(barY + emMm / 4), part == 1.0 ? km + " km" : km, label);
  }
}

}  // namespace

std::optional<Paper> PaperNamed(std::string_view name) {
  std::string lower(name);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (std::size_t k = 0; k < std::size(kPapers); ++k) {
    if (lower == kPapers[k].name) return static_cast<Paper>(k);
  }
  return std::nullopt;
}

SheetSize SheetOf(const PaperOptions& paper) {
  const SheetSize size = kPapers[static_cast<int>(paper.paper)].size;
  return paper.landscape ? SheetSize{size.heightMm, size.widthMm} : size;
}

double DiscRadiusMm(const PaperOptions& paper, double magnification) {
  const SheetSize sheet = SheetOf(paper);
  return (std::min(sheet.widthMm, sheet.heightMm) / 2 - kMarginMm) * magnification;
}

std::string PaperPdf(const MapLayers& layers, const PictureView& view, const PaperOptions& paper) {
  const SheetSize sheet = SheetOf(paper);
  const double discMm = 2 * DiscRadiusMm(paper, 1);
  // The screen is the disc's square at magnification 1, its middle at the sheet's centre; a
  // larger magnification runs over it, and the sheet's edge cuts the picture.
  PictureView page = view;
  page.screen = {discMm * kTwipsPerMm, discMm * kTwipsPerMm};
  page.twipsPerPixel = kPixelMm * kTwipsPerMm;
  PdfSurface pdf(sheet.widthMm * kTwipsPerMm, sheet.heightMm * kTwipsPerMm, page.twipsPerPixel);
  PrintColours printed(pdf);
  DrawingSurface& surface = paper.screenColours ? static_cast<DrawingSurface&>(pdf) : printed;
  surface.BackColor(kBackground);
  pdf.PlaceOrigin(Twips((sheet.widthMm - discMm) / 2), Twips((sheet.heightMm - discMm) / 2));
  DrawMap(layers, page, surface);
  pdf.PlaceOrigin(0, 0);
  DrawTitleBlock(surface, page, paper, DiscRadiusMm(paper, view.magnification));
  return pdf.Finish();
}

}  // namespace globeview
