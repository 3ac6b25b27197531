#include "view/grid_layer.h"

namespace globeview {

namespace {

constexpr int kFieldsAcross = 18;
constexpr double kFieldWidthDegrees = 20;
constexpr double kFieldHeightDegrees = 10;
constexpr double kSquareWidthDegrees = 2;
constexpr double kSquareHeightDegrees = 1;
// The points of a line lie this far apart along it, so that it bends with the projection.
constexpr double kLineStepDegrees = 1;

// The meridians every `lonStep` and the parallels every `latStep` degrees, into `lines`.
void AddLines(const Projector& projector, double lonStep, double latStep,
              std::vector<ScreenSegment>& lines) {
  LineBreaker breaker(projector);
  const auto add = [&](Place place) {
    if (const std::optional<ScreenSegment> piece = breaker.Next(place)) lines.push_back(*piece);
  };
  for (double lon = -180; lon < 180; lon += lonStep) {
    breaker.Start();
    for (double lat = -90; lat <= 90; lat += kLineStepDegrees) add({lon, lat});
  }
  for (double lat = -90 + latStep; lat < 90; lat += latStep) {
    breaker.Start();
    for (double lon = -180; lon <= 180; lon += kLineStepDegrees) add({lon, lat});
  }
}

}  // namespace

const std::vector<GridField>& GridFields() {
  static const std::vector<GridField> fields = [] {
    std::vector<GridField> all;
    for (int row = 0; row < kFieldsAcross; ++row) {
      for (int column = 0; column < kFieldsAcross; ++column) {
        all.push_back(
            {{-180 + (column + 0.5) * kFieldWidthDegrees, -90 + (row + 0.5) * kFieldHeightDegrees},
             {static_cast<char>('A' + column), static_cast<char>('A' + row)}});
      }
    }
    return all;
  }();
  return fields;
}

std::vector<ScreenSegment> GridLines(const Projector& projector) {
  std::vector<ScreenSegment> lines;
  if (projector.View().magnification >= kGridSquaresMagnification) {
    AddLines(projector, kSquareWidthDegrees, kSquareHeightDegrees, lines);
  } else {
    AddLines(projector, kFieldWidthDegrees, kFieldHeightDegrees, lines);
  }
  return lines;
}

std::vector<Rgb> GridLayer::Colours() const {
  return {kGridColour};
}

void GridLayer::Draw(const Projector& projector, DrawingSurface& surface) const {
  surface.DrawWidth(1);
  for (const ScreenSegment& piece : GridLines(projector)) {
    surface.Line(static_cast<float>(piece.from.x), static_cast<float>(piece.from.y),
                 static_cast<float>(piece.to.x), static_cast<float>(piece.to.y));
  }
  DrawTexts(labels_->Plan(projector).fields, surface);
}

void DrawTexts(const std::vector<MapText>& texts, DrawingSurface& surface) {
  for (const MapText& text : texts) {
    surface.Text(static_cast<float>(text.at.x), static_cast<float>(text.at.y), text.text,
                 text.style);
  }
}

}  // namespace globeview
