#pragma once

#include <string>

#include "data/point_table.h"

namespace globeview {

// What loading found besides the points: valid entries whose field is neither a number nor "NA".
struct LoadReport {
  int unusableCount = 0;
  int firstUnusableEntry = 0;  // 0 when there is none
  int firstUnusableLine = 0;
};

// Reads exactly kPointCount longitude/latitude pairs from the field file at `path` into `table`,
// and decides each entry's validity. Nothing after the last pair is read. Throws FileError when the
// file cannot be opened ("cannot open data.dat in /some/dir: No such file or directory"), and
// FieldFileError when it holds fewer pairs ("data.dat holds only 1234 of the 61656 point pairs") or
// a pair cannot be read (naming the line).
LoadReport LoadCoastline(const std::string& path, PointTable& table);

// The program's name for the coastline file, read from the current directory.
inline constexpr const char* kCoastlineFile = "data.dat";

}  // namespace globeview
