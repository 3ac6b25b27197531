#pragma once

#include <cstdint>
#include <string>

#include "data/point_table.h"
#include "system/files.h"

namespace globeview {

// What loading found besides the points: valid entries that cannot be drawn, because a field is
// neither a number small enough to turn into radians nor "NA". `notice` says so in one line for
// the user ("data.dat: 5 point(s) ..."), empty when there are none; the caller shows it.
struct LoadReport {
  int unusableCount = 0;
  int firstUnusableEntry = 0;  // 0 when there is none
  std::int64_t firstUnusableLine = 0;
  std::string notice;
};

// Reads exactly kPointCount longitude/latitude pairs from the field file at `path` into `table`,
// and decides each entry's validity. Nothing after the last pair is read, so a pipe whose writer
// keeps it open after the last pair loads as a file does. Throws FileError when the file cannot be
// opened or read ("cannot open data.dat in /some/dir: No such file or directory"), when it holds
// fewer pairs ("data.dat in /some/dir holds only 1234 of the 61656 point pairs") or when a pair
// cannot be read ("data.dat in /some/dir: line 1203: quoted field is not closed"), and at once
// when `path` stands for a kind of file `kinds` refuses.
LoadReport LoadCoastline(const std::string& path, PointTable& table,
                         FileKinds kinds = FileKinds::kStreamsToo);

// The program's name for the coastline file, read from the current directory.
inline constexpr const char* kCoastlineFile = "data.dat";

}  // namespace globeview
