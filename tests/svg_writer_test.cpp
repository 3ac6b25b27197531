#include "output/svg_writer.h"

#include <gtest/gtest.h>

#include "system/drawing_surface.h"

// That the document renders to the PNG's pixels is checked end to end, on globeview-render's own
// PNG and SVG of the same view, in render_test.

namespace globeview {
namespace {

constexpr double kTwips = kTwipsPerPixelAt96Dpi;  // per pixel

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

}  // namespace
}  // namespace globeview
