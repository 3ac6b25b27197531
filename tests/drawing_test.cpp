#include "view/drawing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core_doubles.h"
#include "view/projection.h"

namespace globeview {
namespace {

using test::FakeDesktop;
using test::RecordingSurface;
using test::SurfaceOp;

constexpr double kWide = 28800;  // 1920 x 1080 pixels at 15 twips each
constexpr double kHigh = 16200;

PointTable EmptyTable() {
  PointTable table;
  for (int i = 0; i <= kPointCount; ++i) {
    table.SetSource(i, "NA", "NA");
  }
  return table;
}

// A usable entry `distance` radians from the centre in direction az.
void SetUsable(PointTable& table, int i, double az, double distance) {
  table.SetSource(i, 0.0, 0.0);
  table.Derived().az[i] = az;
  table.Derived().el[i] = kPi / 2 - distance;
}

std::vector<SurfaceOp> Draw(PointTable& table, double c1, double w, double h) {
  RecordingSurface surface;
  FakeDesktop desktop(w, h);
  DrawProjectedGlobe(table, {{}, c1, PrepareScreen(desktop, surface)}, surface);
  EXPECT_EQ(desktop.pointers, (std::vector<MousePointer>{MousePointer::Busy}));
  return surface.ops;
}

std::vector<SurfaceOp> OfKind(const std::vector<SurfaceOp>& ops, SurfaceOp::Kind kind) {
  std::vector<SurfaceOp> found;
  for (const auto& op : ops)
    if (op.kind == kind) found.push_back(op);
  return found;
}

// Logs each desktop call with the number of drawing calls made before it.
class LoggingDesktop final : public Desktop {
 public:
  LoggingDesktop(const RecordingSurface& surface, std::vector<std::string>& log)
      : surface_(surface), log_(log) {}
  double ScreenWidth() const override { return Log("width"), kWide; }
  double ScreenHeight() const override { return Log("height"), kHigh; }
  void SetMousePointer(MousePointer p) override {
    Log(p == MousePointer::Busy ? "busy" : "default");
  }
  void DoEvents() override { Log("events"); }
  void MaximiseWindow() override { Log("maximise"); }

 private:
  void Log(const char* what) const {
    log_.push_back(std::string(what) + "@" + std::to_string(surface_.ops.size()));
  }
  const RecordingSurface& surface_;
  std::vector<std::string>& log_;
};

TEST(DrawingTest, RunsEveryStepInOrderUnderTheBusyPointer) {
  PointTable table = EmptyTable();
  SetUsable(table, 10, 1.0, 0.1);
  SetUsable(table, 11, 1.1, 0.1);
  RecordingSurface surface;
  std::vector<std::string> log;
  LoggingDesktop desktop(surface, log);
  const ScreenSize screen = PrepareScreen(desktop, surface);
  EXPECT_EQ(screen.width, kWide);
  EXPECT_EQ(screen.height, kHigh);
  DrawProjectedGlobe(table, {{}, 1, screen}, surface);

  // BackColor is the one drawing call of PrepareScreen, between the event pass and maximising;
  // the drawing leaves the pointer to the window.
  EXPECT_EQ(log,
            (std::vector<std::string>{"busy@0", "events@0", "maximise@1", "width@1", "height@1"}));
  using K = SurfaceOp;
  const std::vector<K::Kind> kinds = {K::BackColor, K::ForeColor, K::Cls,    K::DrawWidth,
                                      K::Line,      K::ForeColor, K::Circle, K::Circle,
                                      K::Circle,    K::Circle,    K::Line,   K::Line};
  ASSERT_EQ(surface.ops.size(), kinds.size());
  for (std::size_t k = 0; k < kinds.size(); ++k) EXPECT_EQ(surface.ops[k].kind, kinds[k]) << k;
  EXPECT_EQ(surface.ops[0].colour, kBackground);
  EXPECT_EQ(surface.ops[1].colour, kCoastline);
  EXPECT_EQ(surface.ops[3].width, 1);
  EXPECT_EQ(surface.ops[5].colour, kGrid);
}

TEST(DrawingTest, RingsAndCrossFollowMagnificationAndScreenShape) {
  struct Case {
    double c1, w, h;
    float outerRing;
  };
  const Case cases[] = {
      {1, kWide, kHigh, 8100},  // at magnification 1 the 180-degree ring touches top and bottom
      {10, kWide, kHigh, 81000},
      {2.5, 16200, 28800, 36000},  // a screen taller than wide
  };
  for (const Case& c : cases) {
    PointTable table = EmptyTable();
    const auto ops = Draw(table, c.c1, c.w, c.h);
    const auto circles = OfKind(ops, SurfaceOp::Circle);
    ASSERT_EQ(circles.size(), 4u);
    for (int n = 0; n < 4; ++n) {
      EXPECT_FLOAT_EQ(circles[n].c, c.outerRing * static_cast<float>(n + 1) / 4) << c.c1;
      EXPECT_EQ(circles[n].a, c.w / 2);
      EXPECT_EQ(circles[n].b, c.h / 2);
      EXPECT_EQ(circles[n].colour, kGrid);
    }
    const auto lines = OfKind(ops, SurfaceOp::Line);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ((std::vector<float>{lines[0].a, lines[0].b, lines[0].c, lines[0].d}),
              (std::vector<float>{float(c.w / 2), 0, float(c.w / 2), float(c.h)}));
    // The bar is exactly H long and centred, whatever the screen's shape.
    EXPECT_FLOAT_EQ(lines[1].c - lines[1].a, c.h);
    EXPECT_FLOAT_EQ(lines[1].a + lines[1].c, c.w);
    EXPECT_EQ(lines[1].b, c.h / 2);
    EXPECT_EQ(lines[1].d, c.h / 2);
  }
}

TEST(DrawingTest, SegmentsHalfTheScreenWideOrLongerAreLeftOut) {
  // From the centre to the antipode straight below: exactly H/2 long at magnification 1, with
  // arithmetic kept exact by a power-of-two height.
  constexpr double h = 16384;
  const struct {
    double w;
    bool drawn;
  } cases[] = {{h - 1, false}, {h, false}, {h + 1, true}};
  for (const auto& c : cases) {
    PointTable table = EmptyTable();
    SetUsable(table, 1, 0, 0);
    SetUsable(table, 2, 0, kPi);
    const auto ops = Draw(table, 1, c.w, h);
    EXPECT_EQ(OfKind(ops, SurfaceOp::Line).size(), c.drawn ? 3u : 2u) << c.w;  // + the cross
    EXPECT_EQ(OfKind(ops, SurfaceOp::DrawWidth).size(), 1u) << c.w;
  }
}

TEST(DrawingTest, JoinsOnlyNeighbouringUsableEntries) {
  // U usable, v valid but not a number, n "NA"; the pattern starts at `first`.
  const struct {
    int first;
    const char* entries;
    std::size_t segments;
  } cases[] = {
      {100, "UU", 1},
      {100, "UUU", 2},
      {100, "UnU", 0},
      {100, "nUn", 0},
      {100, "UvU", 0},
      {100, "vUv", 0},
      {100, "UUvUU", 2},
      {0, "nUU", 1},
      {0, "UUn", 0},               // entry 0 is not part of the table
      {kPointCount - 1, "UU", 1},  // the last segment, 61655 to 61656
  };
  for (const auto& c : cases) {
    PointTable table = EmptyTable();
    const std::string pattern = c.entries;
    for (std::size_t k = 0; k < pattern.size(); ++k) {
      const int i = c.first + static_cast<int>(k);
      if (pattern[k] == 'U') SetUsable(table, i, 0.1 * static_cast<double>(k), 0.5);
      if (pattern[k] == 'v') table.SetSource(i, "", "");
    }
    const auto ops = Draw(table, 1, kWide, kHigh);
    EXPECT_EQ(OfKind(ops, SurfaceOp::Line).size(), c.segments + 2) << c.first << pattern;
    EXPECT_EQ(OfKind(ops, SurfaceOp::DrawWidth).size(), c.segments) << c.first << pattern;
  }
}

}  // namespace
}  // namespace globeview
