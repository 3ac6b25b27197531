#pragma once

#include <string>
#include <vector>

#include "data/field_value.h"

namespace globeview {

// The view: centre longitude a1 (degrees, east positive), centre latitude b1 (degrees, north
// positive) and magnification c1. Each holds its field's text as last typed, or a number once a
// normalisation step has changed it.
struct ViewValues {
  FieldValue a1, b1, c1;
};

// The messages shown, in field order, for the fields whose text is not a number.
inline constexpr const char* kLongitudeMessage = "経度は数値で入力してください。";
inline constexpr const char* kLatitudeMessage = "緯度は数値で入力してください。";
inline constexpr const char* kMagnificationMessage = "倍率は数値で入力してください。";

// Checks the three field texts in order with the numeric test; returns one message per failing
// field, in field order (empty when all three are numbers).
std::vector<std::string> Validate(const std::string& text1, const std::string& text2,
                                  const std::string& text3);

// Brings the view into range: a1 into 0..360, b1 into -90..90 (carried over the pole, turning a1 by
// 180), c1 into 1..10. A variable a step changes becomes a number; one no step changes keeps its
// text. Returns false, changing nothing, when a variable does not stand for a number.
bool Normalise(ViewValues& view);

}  // namespace globeview
