#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "view/geodesy.h"

namespace globeview {

// Maidenhead locators, as radio amateurs give their station's square. Each pair of characters
// cuts the square before it: 18 x 18 fields of 20 by 10 degrees ("A" to "R", longitude first),
// 10 x 10 squares of 2 by 1 degrees ("0" to "9"), 24 x 24 subsquares of 5 by 2.5 minutes ("a" to
// "x"), and 10 x 10 extended squares of 0.5 by 0.25 minutes ("0" to "9"). The squares are counted
// from longitude -180 and latitude -90.

// The six characters of the subsquare holding a place, "PM95uq": capitals for the field, small
// letters for the subsquare. The longitude is taken into -180..180 first; a square holds its west
// and south edges, and the last square of each kind holds longitude 180 and latitude 90 as well.
// A latitude beyond a pole counts as the pole; a place that is not a number gives an empty text.
std::string LocatorOf(Place place);

// The centre of the square a locator of 4, 6 or 8 characters names, letters in either case
// ("PM95", "pm95UQ", "JO62qm47"). Any other text, blanks around it included, names nothing.
std::optional<Place> PlaceOfLocator(std::string_view text);

}  // namespace globeview
