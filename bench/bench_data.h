#pragma once

#include <filesystem>
#include <string>

namespace globeview::bench {

// data.dat in the current directory, else the shipped one.
inline std::string CoastlinePath() {
  if (std::filesystem::exists("data.dat")) return "data.dat";
  return GLOBEVIEW_ASSETS_DIR "/data.dat";
}

}  // namespace globeview::bench
