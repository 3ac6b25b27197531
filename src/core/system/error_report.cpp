#include "system/error_report.h"

#include <cstdio>

namespace globeview {
namespace {

// The length of the character at the start of `text` when a terminal shows it as one: printable
// ASCII, or a well-formed UTF-8 sequence other than a C1 control (U+0080 to U+009F, which some
// terminals obey as ESC [ and the like). 0 for anything else.
std::size_t ShownCharacter(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned lead = byte(0);
  if (lead < 0x20 || lead == 0x7f) return 0;
  if (lead < 0x80) return 1;
  const std::size_t length = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc2 ? 2 : 0;
  if (length == 0 || lead > 0xf4 || text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xc0) != 0x80) return 0;
  }
  // A C1 control, an encoding longer than needed, a surrogate, or beyond U+10FFFF.
  const unsigned second = byte(1);
  if ((lead == 0xc2 && second < 0xa0) || (lead == 0xe0 && second < 0xa0) ||
      (lead == 0xed && second > 0x9f) || (lead == 0xf0 && second < 0x90) ||
      (lead == 0xf4 && second > 0x8f)) {
    return 0;
  }
  return length;
}

}  // namespace

std::string Printable(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  while (!text.empty()) {
    std::size_t length = ShownCharacter(text);
    if (length > 0) {
      shown.append(text.substr(0, length));
    } else {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(text[0]));
      shown += escape;
      length = 1;
    }
    text.remove_prefix(length);
  }
  return shown;
}

std::string Quoted(std::string_view text, std::size_t most) {
  if (text.size() <= most) return '"' + Printable(text) + '"';
  // Cut between characters, not inside one.
  while (most > 0 && (static_cast<unsigned char>(text[most]) & 0xc0) == 0x80) --most;
  return '"' + Printable(text.substr(0, most)) + "\"...";
}

std::string ErrorReportLine(const std::exception& error) {
  std::string text = error.what();
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

void PrintErrorLine(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}

}  // namespace globeview
