#include "system/error_report.h"

#include <cstdio>

namespace globeview {

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
