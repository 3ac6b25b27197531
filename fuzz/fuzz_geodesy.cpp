// The readout's inverse mapping: a place the picture draws (short of the antipode, where one ring
// stands for one place) is found again at its own position, and the centre is drawn in the middle.
// A place's grid locator names a square holding it: the square's centre lies within half a
// square of the place.

#include <cmath>
#include <string>

#include "fuzz_support.h"
#include "view/geodesy.h"
#include "view/readout.h"
#include "view/locator.h"

namespace globeview::fuzz {
namespace {

// The picture's view from normalised values and a screen in pixels of 15 twips: the one place that
// knows how a PictureView is made.
PictureView MakeView(Place centre, double magnification, int widthPixels, int heightPixels) {
  return PictureView::OfPixels({centre.lon < 0 ? centre.lon + 360 : centre.lon, centre.lat},
                               magnification, widthPixels, heightPixels);
}

double Radians(double degrees) {
  return degrees * (M_PI / 180);
}

// The angle between two places, radians, by the haversine formula, good at small angles.
double AngleBetween(Place p, Place q) {
  const double dLat = Radians(q.lat - p.lat), dLon = Radians(q.lon - p.lon);
  const double h = std::pow(std::sin(dLat / 2), 2) + std::cos(Radians(p.lat)) *
                                                         std::cos(Radians(q.lat)) *
                                                         std::pow(std::sin(dLon / 2), 2);
  return 2 * std::asin(std::min(1.0, std::sqrt(h)));
}

}  // namespace
}  // namespace globeview::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace globeview;
  using namespace globeview::fuzz;
  Input input(data, size);
  const Place centre{input.Between(-180, 180), input.Between(-90, 90)};
  const double magnification = input.Between(1, 10);
  const int width = 1 + input.Take<std::uint16_t>() % 8000,
            height = 1 + input.Take<std::uint16_t>() % 8000;
  const PictureView view = MakeView(centre, magnification, width, height);
  const ScreenPosition middle = ScreenPositionOf(view, centre);
  // The program's pi is short of the true one by 3.6e-9: the turned centre may lie that many
  // radians (twice over) off the pole of the working sphere.
  const double slack = 1e-6 + 1e-8 * view.screen.height * magnification;
  Check(std::abs(middle.x - view.screen.width / 2) < slack &&
            std::abs(middle.y - view.screen.height / 2) < slack,
        "the centre is drawn at " + std::to_string(middle.x) + "," + std::to_string(middle.y));
  while (!input.Empty()) {
    const Place place{input.Between(-180, 180), input.Between(-90, 90)};
    const double angle = AngleBetween(centre, place);
    if (angle > Radians(179)) continue;
    const std::optional<Place> square = PlaceOfLocator(LocatorOf(place));
    Check(square && std::abs(square->lon - place.lon) <= 1 / 24.0 + 1e-9 &&
              std::abs(square->lat - place.lat) <= 1 / 48.0 + 1e-9,
          "the locator " + LocatorOf(place) + " names a square away from the place");
    const ScreenPosition at = ScreenPositionOf(view, place);
    const std::optional<Place> back = PlaceAt(view, at);
    Check(back.has_value(), "a place drawn off the earth's disc");
    // A millionth of a degree of rounding, more near the antipode where the rings crowd.
    const double error = AngleBetween(place, *back);
    Check(error < Radians(1e-6) / std::max(0.01, std::sin(std::max(angle, 0.1))),
          "found " + std::to_string(error) + " radians from where it was drawn");
  }
  return 0;
}
