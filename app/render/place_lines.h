#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "render/standard_output.h"
#include "view/readout.h"

namespace globeview::render {

// What each line of standard input stands for: a place (--to -) or a pixel (--at -).
enum class LineKind { kPlace, kPixel };

// What is wrong with a place whose latitude lies beyond a pole.
inline constexpr std::string_view kLatitudeOutOfRange = "latitude outside -90 to 90";

// The longest line of standard input that can be a place or a pixel. A longer one is reported and
// skipped as it arrives, without ever being held whole.
inline constexpr std::size_t kMostLineBytes = 4096;

// What a line of standard input holds.
struct ParsedLine {
  enum class Is { kNothing, kQuery, kBad } is = Is::kNothing;  // kNothing: blank or a comment
  Query query;
  std::string_view why;  // for kBad: what is wrong, "not a place"
};

// One line without its line end: two numbers separated by blanks and at most one comma
// ("139.7 35.7", "139.7,35.7", "139.7 , 35.7"), or for a place a grid locator. A line of blanks
// or one whose first non-blank is '#' holds nothing. A place's latitude is -90 to 90.
ParsedLine ParseLine(std::string_view line, LineKind kind);

// Answers every line of standard input with one CSV row on `out`, as the lines arrive: whatever is
// answered is written out before the program waits for more input, so a pipe or a terminal gets
// each answer before its next line is read. A line that holds no query, or is longer than
// kMostLineBytes, is reported on standard error with its number and the start of what it holds,
// and skipped. Returns the number of such lines. Throws StreamError.
long AnswerStandardInput(LineKind kind, const PictureView& view, StandardOutput& out);

}  // namespace globeview::render
