#pragma once

#include <exception>
#include <string>

namespace globeview {

// The report of a run-time error as the user sees it, on one line whatever a system reason carries:
// "cannot open data.dat in /some/dir: No such file or directory".
std::string ErrorReportLine(const std::exception& error);

// Writes `line` and a line end to stderr at once, before anything else can end the program.
void PrintErrorLine(const std::string& line);

}  // namespace globeview
