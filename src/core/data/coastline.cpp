#include "data/coastline.h"

#include <cstdio>
#include <filesystem>

#include "data/field_file.h"
#include "system/files.h"

namespace globeview {

LoadReport LoadCoastline(const std::string& path, PointTable& table) {
  const std::string content = ReadWholeFile(path);
  const std::string name = std::filesystem::path(path).filename().string();
  FieldReader reader(content, name);
  LoadReport report;

  for (int i = 1; i <= kPointCount; ++i) {
    std::optional<FieldValue> lon = reader.Next();
    const int lonLine = reader.Line();
    std::optional<FieldValue> lat = lon ? reader.Next() : std::nullopt;
    if (!lat) {
      throw FieldFileError(name + " holds only " + std::to_string(i - 1) + " of the " +
                           std::to_string(kPointCount) + " point pairs");
    }
    table.srcLon[i] = std::move(*lon);
    table.srcLat[i] = std::move(*lat);

    const bool valid = !table.srcLon[i].IsNA() && !table.srcLat[i].IsNA();
    const std::optional<double> lonDeg = valid ? table.srcLon[i].AsNumber() : std::nullopt;
    const std::optional<double> latDeg = valid ? table.srcLat[i].AsNumber() : std::nullopt;
    const bool usable = lonDeg && latDeg;
    table.valid[i] = valid ? 1 : 0;
    table.usable[i] = usable ? 1 : 0;
    table.lonDeg[i] = usable ? *lonDeg : 0.0;
    table.latDeg[i] = usable ? *latDeg : 0.0;

    if (valid && !usable) {
      if (report.unusableCount == 0) {
        report.firstUnusableEntry = i;
        // The line of the field at fault, which may be the latitude's on a line of its own.
        report.firstUnusableLine = lonDeg ? reader.Line() : lonLine;
      }
      ++report.unusableCount;
    }
  }

  if (report.unusableCount > 0) {
    std::fprintf(stderr,
                 "%s: %d point(s) hold a field that is neither a number nor \"NA\" and are not "
                 "drawn; the first is entry %d on line %d\n",
                 name.c_str(), report.unusableCount, report.firstUnusableEntry,
                 report.firstUnusableLine);
  }
  return report;
}

}  // namespace globeview
