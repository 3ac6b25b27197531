#pragma once

#include <QTemporaryDir>
#include <fstream>
#include <string>

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
