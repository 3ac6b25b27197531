#include "system/error_report.h"

#include <cstdio>
#include <utility>

#include "system/application.h"

namespace globeview {
namespace {

std::function<void(const std::string&)>& Presenter() {
  static std::function<void(const std::string&)> presenter;
  return presenter;
}

// One report, one line on stderr, whatever a system reason carries.
std::string OnOneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

}  // namespace

void ReportRuntimeError(const FileError& error) {
  const std::string message = OnOneLine(error.what());
  std::fprintf(stderr, "%s\n", message.c_str());
  std::fflush(stderr);
  if (const auto presenter = Presenter()) presenter(message);
  EndProgram(1);
}

void SetErrorPresenter(std::function<void(const std::string& message)> presenter) {
  Presenter() = std::move(presenter);
}

}  // namespace globeview
