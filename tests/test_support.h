#pragma once

#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "data/coastline.h"
#include "data/point_table.h"

namespace globeview::test {

inline std::string ShippedCoastlinePath() {
  return GLOBEVIEW_ASSETS_DIR "/data.dat";
}

// The shipped coastline, loaded once per test program. Callers that project or draw change only the
// derived fields, which every projection recomputes.
inline PointTable& ShippedTable() {
  static PointTable* table = [] {
    auto* t = new PointTable();
    LoadCoastline(ShippedCoastlinePath(), *t);
    return t;
  }();
  return *table;
}

// A file's bytes as they are on disk; empty when it cannot be read.
inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The names in a directory, sorted.
inline std::vector<std::string> Listing(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A scratch directory removed at the end of the test.
class ScratchDir {
 public:
  std::string Path(const std::string& name) const {
    return dir_.filePath(QString::fromStdString(name)).toStdString();
  }
  std::string Root() const { return dir_.path().toStdString(); }
  // Writes `content` byte for byte to a file in the directory and returns its path.
  std::string Write(const std::string& name, const std::string& content) const {
    const std::string path = Path(name);
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

 private:
  QTemporaryDir dir_;
};

}  // namespace globeview::test
