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
    const bool lonIsNumber = lon->AsNumber().has_value();
    table.SetSource(i, std::move(*lon), std::move(*lat));

    if (table.IsValid(i) && !table.IsUsable(i)) {
      if (report.unusableCount == 0) {
        report.firstUnusableEntry = i;
        // The line of the field at fault, which may be the latitude's on a line of its own.
        report.firstUnusableLine = lonIsNumber ? reader.Line() : lonLine;
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
