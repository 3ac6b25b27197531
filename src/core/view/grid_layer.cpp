#include "view/grid_layer.h"

#include <algorithm>
#include <cmath>

namespace globeview {

namespace {

constexpr int kFieldsAcross = 18;
constexpr double kFieldWidthDegrees = 20;
constexpr double kFieldHeightDegrees = 10;
constexpr double kSquareWidthDegrees = 2;
constexpr double kSquareHeightDegrees = 1;
// The points of a line lie this far apart along it, so that it bends with the projection: the
// fields' lines at magnification 1 closer than 7 pixels, the squares' lines closer still.
constexpr double kFieldLineStepDegrees = 2;
constexpr double kSquareLineStepDegrees = 1;

// Screen positions sampled this many times across and down, to find the places on the screen.
constexpr int kSamplesAcross = 24;
// Degrees added around the places sampled, more than the sampling can miss.
constexpr double kSampleMarginDegrees = 4;

// The longitudes and latitudes a picture's lines are drawn over; longitudes may run past 180.
struct GridRange {
  double lonFrom = -180;
  double lonTo = 180;
  double latFrom = -90;
  double latTo = 90;
};

// What the screen shows, from places sampled over it; the whole earth when the screen reaches
// beyond the disc or holds a pole.
GridRange VisibleRange(const Projector& projector) {
  const PictureView& view = projector.View();
  const double centreLon = projector.PlaceAt(projector.Middle()).value_or(Place{}).lon;
  GridRange range{360, -360, 90, -90};
  for (int i = 0; i <= kSamplesAcross; ++i) {
    for (int j = 0; j <= kSamplesAcross; ++j) {
      const std::optional<Place> place = projector.PlaceAt(
          {view.screen.width * i / kSamplesAcross, view.screen.height * j / kSamplesAcross});
      if (!place) return GridRange{};
      const double lon = centreLon + std::remainder(place->lon - centreLon, 360.0);
      range.lonFrom = std::min(range.lonFrom, lon);
      range.lonTo = std::max(range.lonTo, lon);
      range.latFrom = std::min(range.latFrom, place->lat);
      range.latTo = std::max(range.latTo, place->lat);
    }
  }
  for (const double pole : {-90.0, 90.0}) {
    const ScreenPosition at = projector.PositionOf({0, pole});
    if (at.x >= 0 && at.y >= 0 && at.x <= view.screen.width && at.y <= view.screen.height) {
      return GridRange{};
    }
  }
  return {range.lonFrom - kSampleMarginDegrees, range.lonTo + kSampleMarginDegrees,
          std::max(-90.0, range.latFrom - kSampleMarginDegrees),
          std::min(90.0, range.latTo + kSampleMarginDegrees)};
}

// The meridians every `lonStep` and the parallels every `latStep` degrees within `range`, into
// `lines`, but for the fields' own (drawn apart) when `skipFields`.
void AddLines(const Projector& projector, double lonStep, double latStep, const GridRange& range,
              double step, bool skipFields, std::vector<ScreenSegment>& lines) {
  LineBreaker breaker(projector);
  const auto add = [&](Place place) {
    if (const std::optional<ScreenSegment> piece = breaker.Next(place)) lines.push_back(*piece);
  };
  const double lonFrom = std::ceil(range.lonFrom / lonStep) * lonStep;
  const double latFrom = std::ceil(range.latFrom / step) * step;
  const double lonTo = std::min(range.lonTo, lonFrom + 360 - lonStep / 2);
  for (double lon = lonFrom; lon <= lonTo; lon += lonStep) {
    if (skipFields && std::fmod(lon, kFieldWidthDegrees) == 0) continue;
    breaker.Start();
    for (double lat = latFrom; lat <= range.latTo; lat += step) add({lon, lat});
  }
  const double alongFrom = std::floor(range.lonFrom / step) * step;
  for (double lat = std::floor(range.latFrom / latStep) * latStep + latStep; lat < range.latTo;
       lat += latStep) {
    if (lat <= -90 || lat >= 90) continue;
    if (skipFields && std::fmod(lat, kFieldHeightDegrees) == 0) continue;
    breaker.Start();
    for (double lon = alongFrom; lon <= range.lonTo; lon += step) {
      add({lon, lat});
    }
  }
}

// The fields' lines over the whole earth, the same in every picture.
const PreparedLines& FieldLines() {
  static const PreparedLines lines = [] {
    std::vector<Polyline> all;
    for (double lon = -180; lon < 180; lon += kFieldWidthDegrees) {
      Polyline& meridian = all.emplace_back();
      for (double lat = -90; lat <= 90; lat += kFieldLineStepDegrees)
        meridian.push_back({lon, lat});
    }
    for (double lat = -90 + kFieldHeightDegrees; lat < 90; lat += kFieldHeightDegrees) {
      Polyline& parallel = all.emplace_back();
      for (double lon = -180; lon <= 180; lon += kFieldLineStepDegrees) {
        parallel.push_back({lon, lat});
      }
    }
    return PrepareLines(all);
  }();
  return lines;
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

GridPieces GridLines(const Projector& projector) {
  GridPieces pieces;
  if (projector.View().magnification >= kGridSquaresMagnification) {
    const GridRange range = VisibleRange(projector);
    AddLines(projector, kSquareWidthDegrees, kSquareHeightDegrees, range, kSquareLineStepDegrees,
             true, pieces.squares);
    AddLines(projector, kFieldWidthDegrees, kFieldHeightDegrees, range, kSquareLineStepDegrees,
             false, pieces.fields);
  } else {
    LineBreaker(projector).Trace(
        FieldLines(), [&](const ScreenSegment& piece) { pieces.fields.push_back(piece); });
  }
  return pieces;
}

std::vector<Rgb> GridLayer::Colours() const {
  return {kGridColour, kGridSquareColour};
}

void GridLayer::Draw(const Projector& projector, DrawingSurface& surface) const {
  const GridPieces pieces = GridLines(projector);
  const auto draw = [&](const std::vector<ScreenSegment>& lines) {
    for (const ScreenSegment& piece : lines) {
      surface.Line(static_cast<float>(piece.from.x), static_cast<float>(piece.from.y),
                   static_cast<float>(piece.to.x), static_cast<float>(piece.to.y));
    }
  };
  surface.DrawWidth(1);
  // The squares beneath the fields' lines, dimmer, so the fields stand out among them.
  if (!pieces.squares.empty()) {
    surface.ForeColor(kGridSquareColour);
    draw(pieces.squares);
    surface.ForeColor(kGridColour);
  }
  draw(pieces.fields);
  DrawTexts(labels_->Plan(projector).fields, surface);
}

void DrawTexts(const std::vector<MapText>& texts, DrawingSurface& surface) {
  for (const MapText& text : texts) {
    surface.Text(static_cast<float>(text.at.x), static_cast<float>(text.at.y), text.text,
                 text.style);
  }
}

}  // namespace globeview
