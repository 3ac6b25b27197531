#include "platform/qt_painter_surface.h"

#include <QFont>
#include <QPolygonF>
#include <QString>
#include <algorithm>

#include "system/text_font.h"

namespace globeview {

namespace {

QColor ColourOf(Rgb colour) {
  return QColor(std::clamp(colour.r, 0, 255), std::clamp(colour.g, 0, 255),
                std::clamp(colour.b, 0, 255));
}

}  // namespace

QtPainterSurface::QtPainterSurface(QPainter& painter, double twipsPerPixel)
    : painter_(painter), scale_(PixelsPerTwip(twipsPerPixel)) {}

QPointF QtPainterSurface::At(float x, float y) const {
  return QPointF(x * scale_ + 0.5, y * scale_ + 0.5);
}

void QtPainterSurface::SetPen(Rgb colour) {
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setPen(QPen(ColourOf(colour), width_, Qt::SolidLine, Qt::FlatCap));
  painter_.setBrush(Qt::NoBrush);
}

void QtPainterSurface::BackColor(Rgb colour) {
  back_ = colour;
}

void QtPainterSurface::ForeColor(Rgb colour) {
  fore_ = colour;
}

void QtPainterSurface::DrawWidth(int pixels) {
  width_ = std::max(pixels, 1);
}

void QtPainterSurface::Cls() {
  const QRect whole = painter_.viewport();
  painter_.fillRect(whole, ColourOf(back_));
}

void QtPainterSurface::Line(float x1, float y1, float x2, float y2) {
  SetPen(fore_);
  painter_.drawLine(At(x1, y1), At(x2, y2));
}

void QtPainterSurface::Circle(float x, float y, float radius, Rgb colour) {
  SetPen(colour);
  const double r = radius * scale_;
  painter_.drawEllipse(At(x, y), r, r);
}

void QtPainterSurface::Polygon(std::span<const SurfacePoint> corners, Rgb colour) {
  if (corners.size() < 3) return;
  QPolygonF polygon;
  for (const SurfacePoint& corner : corners)
    polygon << QPointF(corner.x * scale_, corner.y * scale_);
  // Corners on the pixel centres' grid, as the rasteriser fills the pixels whose centres are in.
  polygon.translate(0.5, 0.5);
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setPen(Qt::NoPen);
  painter_.setBrush(ColourOf(colour));
  painter_.drawPolygon(polygon, Qt::OddEvenFill);
}

void QtPainterSurface::Text(float x, float y, std::string_view utf8, const TextStyle& style) {
  TextFont& font = TextFont::Shared();
  const TextOrigin origin = TextFont::OriginOf(font.Measure(utf8, style.pixelSize), style.anchor);
  QFont qfont(QString::fromStdString(font.Family()));
  qfont.setPixelSize(std::max(1, qRound(style.pixelSize)));
  painter_.setFont(qfont);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  painter_.setPen(ColourOf(style.colour));
  // The glyphs hang from the pixel edge at the baseline's start, as on the raster surface.
  painter_.drawText(QPointF(x * scale_ + origin.x, y * scale_ + origin.y),
                    QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

}  // namespace globeview
