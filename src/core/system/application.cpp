#include "system/application.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <utility>
#include <vector>

namespace globeview {
namespace {

std::function<void(int)>& EndAction() {
  static std::function<void(int)> action;
  return action;
}

std::vector<std::function<void()>>& AtEndActions() {
  static std::vector<std::function<void()>> actions;
  return actions;
}

}  // namespace

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

void AtEndProgram(std::function<void()> action) {
  AtEndActions().push_back(std::move(action));
}

void EndProgram(int status) {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  if (const auto action = EndAction()) action(status);
  for (const auto& action : AtEndActions()) action();
  std::_Exit(status);
}

void SetEndAction(std::function<void(int status)> action) {
  EndAction() = std::move(action);
}

}  // namespace globeview
