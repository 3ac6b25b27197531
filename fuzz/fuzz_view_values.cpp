// The view values: the check names exactly the fields that fail the numeric test, in order, and
// normalising any three numbers brings them into range and is then a step that changes nothing.

#include <cmath>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "view/view_values.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace globeview;
  using fuzz::Check;
  // Three field texts, separated by NUL bytes, which no field holds.
  std::string texts[3];
  std::size_t k = 0;
  for (std::size_t i = 0; i < size && k < 3; ++i) {
    if (data[i] == 0) {
      ++k;
    } else {
      texts[k] += static_cast<char>(data[i]);
    }
  }
  const char* messages[] = {kLongitudeMessage, kLatitudeMessage, kMagnificationMessage};
  std::vector<std::string> expected;
  for (int f = 0; f < 3; ++f) {
    if (!IsNumeric(texts[f])) expected.push_back(messages[f]);
  }
  Check(Validate(texts[0], texts[1], texts[2]) == expected, "the check names other fields");

  ViewValues view{texts[0], texts[1], texts[2]};
  if (!Normalise(view)) {
    Check(!expected.empty(), "three numbers refused");
    Check(view.a1 == texts[0] && view.b1 == texts[1] && view.c1 == texts[2],
          "a refused view changed");
    return 0;
  }
  Check(expected.empty(), "a text that is no number normalised");
  const auto number = [](const FieldValue& v) { return *v.AsNumber(); };
  const double a1 = number(view.a1), b1 = number(view.b1), c1 = number(view.c1);
  Check(a1 >= 0 && a1 <= 360, "longitude out of 0..360: " + std::to_string(a1));
  Check(b1 >= -90 && b1 <= 90, "latitude out of -90..90: " + std::to_string(b1));
  Check(c1 >= 1 && c1 <= 10, "magnification out of 1..10: " + std::to_string(c1));
  ViewValues again = view;
  Check(Normalise(again), "a normalised view refused");
  Check(fuzz::Same(again.a1, view.a1) && fuzz::Same(again.b1, view.b1) &&
            fuzz::Same(again.c1, view.c1),
        "normalising twice changes the view");
  return 0;
}
