#pragma once

#include <cstddef>
#include <exception>
#include <string>
#include <string_view>

namespace globeview {

// The report of a run-time error as the user sees it, on one line whatever a system reason carries:
// "cannot open data.dat in /some/dir: No such file or directory".
std::string ErrorReportLine(const std::exception& error);

// `text` as a message repeats what a user typed, a file holds or a file is named: every control
// byte (NUL and ESC included) and every byte that is no part of a UTF-8 character as \xHH, so that
// nothing of it reaches a terminal as an escape sequence or cuts the message short.
std::string Printable(std::string_view text);

// Printable(text) in double quotes, cut after about `most` bytes ("..." after the quote then), so
// that a long input does not fill the message: the line 1, NUL, " 2,3" as "1\x00 2,3" with its
// quotes.
inline constexpr std::size_t kMostQuotedBytes = 60;
std::string Quoted(std::string_view text, std::size_t most = kMostQuotedBytes);

// Writes `line` and a line end to stderr at once, before anything else can end the program.
void PrintErrorLine(const std::string& line);

}  // namespace globeview
