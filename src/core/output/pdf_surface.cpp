#include "output/pdf_surface.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <cmath>
#include <new>
#include <utility>

#include "system/angles.h"
#include "system/numeric.h"
#include "system/text_font.h"

namespace globeview {

namespace {

// Twips in a point, PDF's unit.
constexpr double kTwipsPerPoint = 20;

cairo_status_t AppendToString(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

void SetColour(cairo_t* cr, Rgb colour) {
  const auto channel = [](int c) { return (c < 0 ? 0 : c > 255 ? 255 : c) / 255.0; };
  cairo_set_source_rgb(cr, channel(colour.r), channel(colour.g), channel(colour.b));
}

// Text cairo can take: valid UTF-8 only (anything else puts the whole page in error), so a byte
// that starts no valid sequence becomes U+FFFD.
std::string CleanUtf8(std::string_view utf8) {
  std::string out;
  for (char32_t c : DecodeUtf8(utf8)) {
    if (c < 0x20 || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      const int extra = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
      out += static_cast<char>(((0xF00 >> (extra + 1)) & 0xFF) | (c >> (6 * extra)));
      for (int k = extra - 1; k >= 0; --k) out += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
    }
  }
  return out;
}

}  // namespace

struct PdfSurface::Cairo {
  cairo_surface_t* surface = nullptr;
  cairo_t* cr = nullptr;
  double widthTwips = 0;
  double heightTwips = 0;
  ~Cairo() {
    if (cr != nullptr) cairo_destroy(cr);
    if (surface != nullptr) cairo_surface_destroy(surface);
  }
};

PdfSurface::PdfSurface(double widthTwips, double heightTwips, double twipsPerPixel)
    : cairo_(std::make_unique<Cairo>()), twipsPerPixel_(1 / PixelsPerTwip(twipsPerPixel)) {
  cairo_->widthTwips = widthTwips;
  cairo_->heightTwips = heightTwips;
  cairo_->surface = cairo_pdf_surface_create_for_stream(
      AppendToString, &document_, widthTwips / kTwipsPerPoint, heightTwips / kTwipsPerPoint);
  cairo_->cr = cairo_create(cairo_->surface);
  if (cairo_status(cairo_->cr) != CAIRO_STATUS_SUCCESS) throw std::bad_alloc();
  cairo_t* cr = cairo_->cr;
  // Round ends and joins: a coastline's islet of one point still prints as a dot.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, twipsPerPixel_);
  cairo_select_font_face(cr, TextFont::Shared().Family().c_str(), CAIRO_FONT_SLANT_NORMAL,
                         CAIRO_FONT_WEIGHT_NORMAL);
  PlaceOrigin(0, 0);
}

PdfSurface::~PdfSurface() = default;

void PdfSurface::PlaceOrigin(double xTwips, double yTwips) {
  StrokePath();
  cairo_t* cr = cairo_->cr;
  cairo_identity_matrix(cr);
  cairo_scale(cr, 1 / kTwipsPerPoint, 1 / kTwipsPerPoint);
  cairo_translate(cr, xTwips, yTwips);
}

void PdfSurface::BackColor(Rgb colour) {
  back_ = colour;
}

void PdfSurface::ForeColor(Rgb colour) {
  if (!(colour == fore_)) StrokePath();
  fore_ = colour;
}

void PdfSurface::DrawWidth(int pixels) {
  const int width = pixels < 1 ? 1 : pixels;
  if (width != width_) StrokePath();
  width_ = width;
}

void PdfSurface::Cls() {
  pathOpen_ = false;
  cairo_t* cr = cairo_->cr;
  cairo_new_path(cr);
  cairo_save(cr);
  cairo_identity_matrix(cr);
  cairo_scale(cr, 1 / kTwipsPerPoint, 1 / kTwipsPerPoint);
  cairo_rectangle(cr, 0, 0, cairo_->widthTwips, cairo_->heightTwips);
  SetColour(cr, back_);
  cairo_fill(cr);
  cairo_restore(cr);
}

void PdfSurface::StrokePath() {
  if (!pathOpen_) return;
  pathOpen_ = false;
  cairo_t* cr = cairo_->cr;
  SetColour(cr, fore_);
  cairo_set_line_width(cr, width_ * twipsPerPixel_);
  cairo_stroke(cr);
}

void PdfSurface::Line(float x1, float y1, float x2, float y2) {
  if (!Finite(x1, y1, x2, y2)) return;
  cairo_t* cr = cairo_->cr;
  // A segment that starts where the last one ended continues its path, so a coastline is one
  // path for as long as its segments are drawn.
  if (!pathOpen_ || x1 != lastX_ || y1 != lastY_) {
    StrokePath();
    cairo_move_to(cr, x1, y1);
    pathOpen_ = true;
  }
  cairo_line_to(cr, x2, y2);
  lastX_ = x2;
  lastY_ = y2;
}

void PdfSurface::Circle(float x, float y, float radius, Rgb colour) {
  if (!Finite(x, y, radius) || radius < 0) return;
  StrokePath();
  cairo_t* cr = cairo_->cr;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x, y, radius, 0, 2 * kTruePi);
  SetColour(cr, colour);
  cairo_set_line_width(cr, width_ * twipsPerPixel_);
  cairo_stroke(cr);
}

void PdfSurface::Polygon(std::span<const SurfacePoint> corners, Rgb colour) {
  if (corners.size() < 3) return;
  for (const SurfacePoint& corner : corners) {
    if (!Finite(corner.x, corner.y)) return;
  }
  StrokePath();
  cairo_t* cr = cairo_->cr;
  cairo_move_to(cr, corners[0].x, corners[0].y);
  for (const SurfacePoint& corner : corners.subspan(1)) cairo_line_to(cr, corner.x, corner.y);
  cairo_close_path(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  SetColour(cr, colour);
  cairo_fill(cr);
}

void PdfSurface::Text(float x, float y, std::string_view utf8, const TextStyle& style) {
  if (!Finite(x, y, style.pixelSize) || utf8.empty()) return;
  StrokePath();
  TextFont& font = TextFont::Shared();
  const TextOrigin origin = TextFont::OriginOf(font.Measure(utf8, style.pixelSize), style.anchor);
  // The size TextFont measured at: whole pixels, at least one.
  const double pixels = std::fmax(1, std::round(style.pixelSize));
  cairo_t* cr = cairo_->cr;
  cairo_set_font_size(cr, pixels * twipsPerPixel_);
  cairo_move_to(cr, x + origin.x * twipsPerPixel_, y + origin.y * twipsPerPixel_);
  SetColour(cr, style.colour);
  cairo_show_text(cr, CleanUtf8(utf8).c_str());
  cairo_new_path(cr);
}

std::string PdfSurface::Finish() {
  StrokePath();
  const bool drawn = cairo_status(cairo_->cr) == CAIRO_STATUS_SUCCESS;
  cairo_surface_finish(cairo_->surface);
  if (!drawn || cairo_surface_status(cairo_->surface) != CAIRO_STATUS_SUCCESS) return {};
  return std::move(document_);
}

}  // namespace globeview
