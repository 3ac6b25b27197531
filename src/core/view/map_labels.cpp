#include "view/map_labels.h"

#include <algorithm>
#include <cmath>

#include "system/text_font.h"
#include "view/geodesy.h"
#include "view/grid_layer.h"
#include "view/readout.h"

namespace globeview {

namespace {

// Room kept clear around every text, pixels, so that neighbours stay apart.
constexpr double kLabelGapPixels = 2;
// From a city's dot to its name, pixels.
constexpr double kDotToNamePixels = 3;
// A ring's distance is written this far right of the vertical line, pixels.
constexpr double kRingTextOffsetPixels = 4;
constexpr int kRingCount = 4;
constexpr double kRingStepDegrees = 45;

// The box a text of `box` takes anchored at (x, y) pixels, with the gap around it.
PixelBox BoxAt(double x, double y, const TextBox& box, TextAnchor anchor) {
  const TextOrigin origin = TextFont::OriginOf(box, anchor);
  return {x + origin.x - kLabelGapPixels, y + origin.y - box.ascent - kLabelGapPixels,
          x + origin.x + box.width + kLabelGapPixels, y + origin.y + box.descent + kLabelGapPixels};
}

bool Overlap(const PixelBox& a, const PixelBox& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Placing in pixels, drawing in twips.
class Placing {
 public:
  Placing(const Projector& projector, double discRadius)
      : projector_(projector),
        tpp_(projector.View().twipsPerPixel),
        placer_(projector.Middle().x / tpp_, projector.Middle().y / tpp_, discRadius / tpp_,
                projector.View().screen.width / tpp_, projector.View().screen.height / tpp_),
        font_(TextFont::Shared()) {}

  // A text anchored at a place, into `into` when it is placed.
  bool Offer(Place place, const std::string& text, const TextStyle& style,
             std::vector<MapText>& into) {
    const ScreenPosition at = projector_.PositionOf(place);
    const PixelBox box =
        BoxAt(at.x / tpp_, at.y / tpp_, font_.Measure(text, style.pixelSize), style.anchor);
    if (!placer_.Take(box)) return false;
    into.push_back({at, text, style});
    return true;
  }

  bool OfferCity(const City& city, LabelPlan& plan) {
    const ScreenPosition dot = projector_.PositionOf({city.lon, city.lat});
    const double x = dot.x / tpp_;
    const double y = dot.y / tpp_;
    const double nameX = x + kCityDotPixels + kDotToNamePixels;
    PixelBox box = BoxAt(nameX, y, font_.Measure(city.name, kSmallTextPixels), TextAnchor::kLeft);
    box.left = x - kCityDotPixels - kLabelGapPixels;
    box.top = std::min(box.top, y - kCityDotPixels - kLabelGapPixels);
    box.bottom = std::max(box.bottom, y + kCityDotPixels + kLabelGapPixels);
    if (!placer_.Take(box)) return false;
    plan.dots.push_back(dot);
    plan.cities.push_back(
        {{nameX * tpp_, dot.y}, city.name, {kSmallTextPixels, kCityColour, TextAnchor::kLeft}});
    return true;
  }

  // A text placed whatever lies there, for those of the scale itself.
  void Reserve(ScreenPosition at, const std::string& text, const TextStyle& style,
               std::vector<MapText>& into) {
    placer_.Reserve(
        BoxAt(at.x / tpp_, at.y / tpp_, font_.Measure(text, style.pixelSize), style.anchor));
    into.push_back({at, text, style});
  }

 private:
  const Projector& projector_;
  double tpp_;
  LabelPlacer placer_;
  TextFont& font_;
};

}  // namespace

LabelPlacer::LabelPlacer(double middleX, double middleY, double radius, double width, double height)
    : middleX_(middleX), middleY_(middleY), radius_(radius), width_(width), height_(height) {}

bool LabelPlacer::Take(const PixelBox& box) {
  if (!(box.left >= 0 && box.top >= 0 && box.right <= width_ && box.bottom <= height_)) {
    return false;
  }
  // The disc is round, so a box whose corners all lie on it lies on it whole.
  const double r2 = radius_ * radius_;
  for (const double x : {box.left, box.right}) {
    for (const double y : {box.top, box.bottom}) {
      const double dx = x - middleX_;
      const double dy = y - middleY_;
      if (!(dx * dx + dy * dy <= r2)) return false;
    }
  }
  if (std::any_of(taken_.begin(), taken_.end(),
                  [&](const PixelBox& other) { return Overlap(box, other); })) {
    return false;
  }
  taken_.push_back(box);
  return true;
}

void LabelPlacer::Reserve(const PixelBox& box) {
  taken_.push_back(box);
}

std::string RingDistanceText(int ring) {
  return ReadoutKilometres(kGreatCircleKm * ring * kRingStepDegrees / 360) + " km";
}

const LabelPlan& MapLabels::Plan(const Projector& projector) const {
  if (plan_) return *plan_;
  plan_.emplace();
  LabelPlan& plan = *plan_;
  const double tpp = projector.View().twipsPerPixel;
  const double outer = projector.RingRadius(180);
  const double disc = sources_.rings ? outer - kBearingBandPixels * tpp : outer;
  try {
    Placing placing(projector, disc);
    if (sources_.rings) {
      const ScreenPosition middle = projector.Middle();
      for (int n = 1; n <= kRingCount; ++n) {
        const double inside = n == kRingCount ? kBearingBandPixels : kLabelGapPixels;
        const ScreenPosition at{
            middle.x + kRingTextOffsetPixels * tpp,
            middle.y - projector.RingRadius(n * kRingStepDegrees) + inside * tpp};
        placing.Reserve(at, RingDistanceText(n),
                        {kSmallTextPixels, kRingTextColour, TextAnchor::kTopLeft}, plan.rings);
      }
    }
    if (sources_.countries) {
      for (const CountryLabel& country : *sources_.countries) {
        placing.Offer({country.lon, country.lat}, country.name,
                      {kNameTextPixels, kNameColour, TextAnchor::kCentre}, plan.names);
      }
    }
    if (sources_.cities) {
      for (const City& city : *sources_.cities) placing.OfferCity(city, plan);
    }
    if (sources_.fields) {
      for (const GridField& field : GridFields()) {
        placing.Offer(field.middle, field.letters,
                      {kSmallTextPixels, kGridColour, TextAnchor::kCentre}, plan.fields);
      }
    }
  } catch (const FontError&) {
    // No font, no texts: the lines are drawn all the same.
    *plan_ = LabelPlan{};
  }
  return plan;
}

}  // namespace globeview
