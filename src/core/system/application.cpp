#include "system/application.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace globeview {

std::string ExecutablePath() {
  std::error_code error;
  const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.string();
}

std::string ApplicationDirectory() {
  const std::string path = ExecutablePath();
  std::error_code ignored;
  if (path.empty()) return std::filesystem::current_path(ignored).string();
  return std::filesystem::path(path).parent_path().string();
}

std::string JoinPath(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  if (directory.back() == '/') return directory + name;
  return directory + "/" + name;
}

void EndProgram(int status) {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  std::_Exit(status);
}

}  // namespace globeview
