// The SVG writer: whatever is drawn, the document is whole (the declaration, one svg element, every
// element closed) and every number in it is a finite number; nothing drawn off the page nor any
// position that is not a number breaks it.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "output/svg_writer.h"

namespace globeview::fuzz {
namespace {

// Every run of characters that may belong to a number reads as a finite one.
void CheckNumbers(std::string svg) {
  // Colours ("#2e9400") are no numbers.
  for (std::size_t at = svg.find('#'); at != std::string::npos; at = svg.find('#', at + 1)) {
    svg.erase(at + 1, std::min<std::size_t>(6, svg.find('"', at) - at - 1));
  }
  for (const char* bad : {"nan", "inf", "NAN", "INF"}) {
    Check(svg.find(bad) == std::string::npos, std::string("\"") + bad + "\" in the document");
  }
  const std::string numberish = "0123456789.-+eE";
  for (std::size_t at = 0; at < svg.size();) {
    const std::size_t from = svg.find_first_of("0123456789.-", at);
    if (from == std::string::npos) break;
    std::size_t to = svg.find_first_not_of(numberish, from);
    if (to == std::string::npos) to = svg.size();
    // Inside names ("stroke-width", "UTF-8") a run is no number.
    const bool inName = from > 0 && std::isalpha(static_cast<unsigned char>(svg[from - 1]));
    if (!inName) {
      const std::string run = svg.substr(from, to - from);
      char* end = nullptr;
      const double v = std::strtod(run.c_str(), &end);
      Check(end != run.c_str() && std::isfinite(v), "a bad number: " + run);
    }
    at = to;
  }
}

// Elements open and close in step, and the document is one svg element after the declaration.
void CheckElements(const std::string& svg) {
  Check(svg.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg "), "no svg start");
  Check(svg.ends_with("</svg>\n"), "no svg end");
  std::vector<std::string> open;
  for (std::size_t at = svg.find("<svg"); at != std::string::npos; at = svg.find('<', at + 1)) {
    const std::size_t close = svg.find('>', at);
    Check(close != std::string::npos, "an unclosed tag");
    const std::string tag = svg.substr(at + 1, close - at - 1);
    if (tag.starts_with("/")) {
      Check(!open.empty() && open.back() == tag.substr(1), "</" + tag + "> closes nothing open");
      open.pop_back();
    } else if (!tag.ends_with("/")) {
      open.push_back(tag.substr(0, tag.find(' ')));
    }
    Check(tag.find('"') == std::string::npos || std::count(tag.begin(), tag.end(), '"') % 2 == 0,
          "an attribute without its closing quote");
  }
  Check(open.empty(), "elements left open");
}

}  // namespace
}  // namespace globeview::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace globeview;
  using namespace globeview::fuzz;
  Input input(data, size);
  const int width = 1 + input.Take<std::uint16_t>() % 4000,
            height = 1 + input.Take<std::uint16_t>() % 4000;
  SvgWriter svg(width, height, input.Between(1, 30));
  for (int ops = 0; !input.Empty() && ops < 256; ++ops) {
    const auto kind = input.Take<std::uint8_t>() % 6;
    const auto at = [&] {
      const auto choice = input.Take<std::uint8_t>();
      return choice < 32 ? input.Take<float>() : static_cast<float>(input.Take<std::int16_t>());
    };
    const Rgb colour{input.Take<std::uint8_t>(), input.Take<std::uint8_t>(), 0};
    if (kind <= 1) svg.Line(at(), at(), at(), at());  // a run of joined lines, mostly
    if (kind == 2) svg.Circle(at(), at(), at(), colour);
    if (kind == 3) svg.ForeColor(colour);
    if (kind == 4) svg.DrawWidth(input.Take<std::int8_t>());
    if (kind == 5) {
      svg.BackColor(colour);
      svg.Cls();
    }
  }
  const std::string document = svg.Document();
  CheckElements(document);
  CheckNumbers(document);
  return 0;
}
