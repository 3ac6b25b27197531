#include "render/place_lines.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "system/angles.h"
#include "system/error_report.h"
#include "system/numeric.h"
#include "view/locator.h"

namespace globeview::render {
namespace {

// What one read takes from standard input.
constexpr std::size_t kReadBlock = 64 * 1024;

// Two numbers: split at the one comma when there is one, else at the first run of blanks. The
// numeric test trims each side and refuses anything left over, a second comma or a third number.
bool SplitNumbers(std::string_view text, double& first, double& second) {
  std::size_t end = text.find(',');
  std::size_t next = end;
  if (end == std::string_view::npos) {
    end = text.find_first_of(" \t");
    if (end == std::string_view::npos) return false;
    next = end;
  }
  const auto a = ParseNumber(text.substr(0, end));
  const auto b = ParseNumber(text.substr(next + 1));
  if (!a || !b) return false;
  first = *a;
  second = *b;
  return true;
}

ParsedLine Bad(std::string_view why) {
  ParsedLine parsed;
  parsed.is = ParsedLine::Is::kBad;
  parsed.why = why;
  return parsed;
}

ParsedLine Holding(Query query) {
  ParsedLine parsed;
  parsed.is = ParsedLine::Is::kQuery;
  parsed.query = query;
  return parsed;
}

// Writes "globeview-render: standard input: line 6: not a place: "abc"" after the answers so far,
// so that on a terminal the report follows the rows before it.
void ReportBadLine(StandardOutput& out, long number, std::string_view why, std::string_view line) {
  out.Flush();
  std::fprintf(stderr, "globeview-render: standard input: line %ld: %.*s: %s\n", number,
               static_cast<int>(why.size()), why.data(), Quoted(line).c_str());
}

}  // namespace

ParsedLine ParseLine(std::string_view line, LineKind kind) {
  const std::string_view text = TrimmedLine(line);
  if (text.empty() || text.front() == '#') return {};
  double first = 0;
  double second = 0;
  if (kind == LineKind::kPixel) {
    if (!SplitNumbers(text, first, second)) return Bad("not a pixel");
    return Holding(PixelPoint{first, second});
  }
  if (!SplitNumbers(text, first, second)) {
    if (const auto place = PlaceOfLocator(text)) return Holding(*place);  // "PM95vq"
    return Bad("not a place");
  }
  if (second < -kPoleLatitude || second > kPoleLatitude) return Bad(kLatitudeOutOfRange);
  return Holding(Place{first, second});
}

long AnswerStandardInput(LineKind kind, const PictureView& view, StandardOutput& out) {
  const std::string tooLong = "longer than " + std::to_string(kMostLineBytes) + " bytes";
  std::vector<char> block(kReadBlock);
  // A line begun in an earlier block: its first kMostLineBytes + 1 bytes at most, enough to tell
  // that it is too long and to quote its start.
  std::string begun;
  long number = 0;
  long bad = 0;
  const auto answer = [&](std::string_view line) {
    ++number;
    if (line.size() > kMostLineBytes) {
      ++bad;
      return ReportBadLine(out, number, tooLong, TrimmedLine(line));
    }
    const ParsedLine parsed = ParseLine(line, kind);
    if (parsed.is == ParsedLine::Is::kQuery) {
      AppendQueryRow(out.Pending(), parsed.query, view);
      out.Written();
    } else if (parsed.is == ParsedLine::Is::kBad) {
      ++bad;
      ReportBadLine(out, number, parsed.why, TrimmedLine(line));
    }
  };
  const auto keep = [&](std::string_view part) {
    begun.append(part.substr(0, kMostLineBytes + 1 - begun.size()));
  };
  for (;;) {
    // What was answered goes out before waiting for more.
    out.Flush();
    const ssize_t got = ::read(STDIN_FILENO, block.data(), block.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      throw StreamError(std::string("standard input: ") + std::strerror(errno));
    }
    if (got == 0) break;
    // Each byte is looked at once, however long its line.
    std::string_view rest(block.data(), static_cast<std::size_t>(got));
    for (std::size_t end; (end = rest.find('\n')) != std::string_view::npos;
         rest.remove_prefix(end + 1)) {
      if (begun.empty()) {
        answer(rest.substr(0, end));
      } else {
        keep(rest.substr(0, end));
        answer(begun);
        begun.clear();
      }
    }
    keep(rest);
  }
  if (!begun.empty()) answer(begun);  // a last line without its line end
  out.Flush();
  return bad;
}

}  // namespace globeview::render
