#pragma once

#include <filesystem>
#include <string>

namespace globeview::bench {

// A data file in the current directory, else the shipped one.
inline std::string DataPath(const std::string& name) {
  if (std::filesystem::exists(name)) return name;
  return GLOBEVIEW_ASSETS_DIR "/" + name;
}

inline std::string CoastlinePath() {
  return DataPath("data.dat");
}

}  // namespace globeview::bench
