#include "output/svg_writer.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <string>
#include <vector>

#include "recording_doubles.h"
#include "system/headless_desktop.h"
#include "test_support.h"
#include "view/drawing.h"
#include "view/projection.h"

namespace globeview {
namespace {

constexpr double kTwips = kTwipsPerPixelAt96Dpi;  // per pixel
constexpr int kWidthPx = 640;
constexpr int kHeightPx = 480;

// Draws the projected table as the picture does, into `surface`, on a kWidthPx x kHeightPx screen.
void Draw(PointTable& table, DrawingSurface& surface) {
  HeadlessDesktop desktop(kWidthPx * kTwips, kHeightPx * kTwips);
  DrawPicture(table, 1, PrepareScreen(desktop, surface), surface, desktop);
}

TEST(SvgWriterTest, WritesEachRunOfJoinedSegmentsAsOnePathAtThePixelCentres) {
  SvgWriter svg(4, 3, kTwips);
  svg.Line(0, 0, 15, 0);  // cleared away
  svg.BackColor({0, 0, 0});
  svg.Cls();
  svg.ForeColor({255, 255, 255});
  svg.Line(0, 0, 15, 0);
  svg.Line(15, 0, 30, 15);
  svg.Line(45, 30, 30, 30);
  svg.Line(45, 0, 45.5f, 0.5f);
  svg.ForeColor({155, 155, 155});
  svg.Circle(30, 15, 22.5f, {155, 155, 155});
  svg.Line(30, 0, 30, 45);
  EXPECT_EQ(svg.Document(), R"(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="4" height="3" viewBox="0 0 4 3" shape-rendering="crispEdges">
<rect width="4" height="3" fill="#000000"/>
<g fill="none" stroke-linecap="square" stroke-linejoin="round">
<g stroke="#ffffff" stroke-width="1">
<path d="M0.5 0.5L1.5 0.5 2.5 1.5"/>
<path d="M3.5 2.5L2.5 2.5"/>
<path d="M3.52 0.52h0.01"/>
</g>
<g stroke="#9b9b9b" stroke-width="1">
<circle cx="2.5" cy="1.5" r="1.5"/>
<path d="M2.5 0.5L2.5 3.5"/>
</g>
</g>
</svg>
)");
}

// What the drawing asked for, painted with QPainter's aliased lines and ellipses as the PNG is.
QImage PaintedWithQPainter(const std::vector<test::SurfaceOp>& ops) {
  QImage image(kWidthPx, kHeightPx, QImage::Format_RGB32);
  QPainter painter(&image);
  const auto px = [](float twips) { return twips / kTwips + 0.5; };
  QColor back, fore;
  for (const auto& op : ops) {
    const QColor colour(op.colour.r, op.colour.g, op.colour.b);
    if (op.kind == test::SurfaceOp::BackColor) back = colour;
    if (op.kind == test::SurfaceOp::ForeColor) fore = colour;
    if (op.kind == test::SurfaceOp::Cls) image.fill(back);
    if (op.kind == test::SurfaceOp::Line) {
      painter.setPen(fore);
      painter.drawLine(QLineF(px(op.a), px(op.b), px(op.c), px(op.d)));
    }
    if (op.kind == test::SurfaceOp::Circle) {
      painter.setPen(colour);
      painter.drawEllipse(QPointF(px(op.a), px(op.b)), op.c / kTwips, op.c / kTwips);
    }
  }
  return image;
}

// How many pixels of `a` other than black have no pixel of the same colour in `b` within one
// pixel. The grid is drawn over the coastline, so a coastline pixel moved under it is hidden there.
int Unmatched(const QImage& a, const QImage& b) {
  const QRgb coastline = qRgb(255, 255, 255), grid = qRgb(155, 155, 155);
  int unmatched = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb colour = a.pixel(x, y);
      bool found = colour == qRgb(0, 0, 0);
      for (int dy = -1; dy <= 1 && !found; ++dy) {
        for (int dx = -1; dx <= 1 && !found; ++dx) {
          const QRgb there = b.valid(x + dx, y + dy) ? b.pixel(x + dx, y + dy) : 0;
          found = there == colour || (colour == coastline && there == grid);
        }
      }
      unmatched += found ? 0 : 1;
    }
  }
  return unmatched;
}

TEST(SvgWriterTest, RendersToThePicturesPixelsWithinOnePixel) {
  const QString rsvg = QStandardPaths::findExecutable("rsvg-convert");
  if (rsvg.isEmpty()) GTEST_SKIP() << "rsvg-convert is not installed";
  PointTable& table = test::ShippedTable();
  Project(table, 139.7, 35.7);
  test::RecordingSurface recorded;
  Draw(table, recorded);
  SvgWriter svg(kWidthPx, kHeightPx, kTwips);
  Draw(table, svg);

  test::ScratchDir dir;
  const QString svgPath = QString::fromStdString(dir.Write("picture.svg", svg.Document()));
  const QString pngPath = QString::fromStdString(dir.Path("picture.png"));
  QProcess render;
  render.start(rsvg, {"-o", pngPath, svgPath});
  ASSERT_TRUE(render.waitForFinished(60000));
  ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
  const QImage rendered = QImage(pngPath).convertToFormat(QImage::Format_RGB32);
  const QImage reference = PaintedWithQPainter(recorded.ops);
  ASSERT_EQ(rendered.size(), reference.size());
  // QPainter's stroker lights a pixel past the end of a few segments shorter than a pixel: a
  // handful among the thousands of pixels of a picture.
  constexpr int kStrokerSlack = 4;
  EXPECT_LE(Unmatched(reference, rendered), kStrokerSlack);
  EXPECT_LE(Unmatched(rendered, reference), kStrokerSlack);
}

}  // namespace
}  // namespace globeview
