#include "data/coastline.h"

#include <filesystem>
#include <optional>

#include "data/field_file.h"
#include "system/error_report.h"
#include "system/files.h"

namespace globeview {
namespace {

// A regular coastline file up to this size comes in one read; the shipped one is about 1 MB.
constexpr std::size_t kMostReadAtOnce = std::size_t{16} << 20;

}  // namespace

LoadReport LoadCoastline(const std::string& path, PointTable& table, FileKinds kinds) {
  InputFile file(path, kinds);
  FieldReader reader(file, kMostReadAtOnce);
  LoadReport report;
  const auto tooShort = [&](int pairs) {
    return FileError("", path,
                     "holds only " + std::to_string(pairs) + " of the " +
                         std::to_string(kPointCount) + " point pairs");
  };

  for (int i = 1; i <= kPointCount; ++i) {
    // Nearly every entry is two plain numbers, stored as they are read.
    double lonNumber = 0;
    double latNumber = 0;
    const bool lonPlain = reader.NextPlainNumber(lonNumber);
    std::int64_t lonLine = reader.Line();
    if (lonPlain && reader.NextPlainNumber(latNumber)) {
      table.SetNumbers(i, lonNumber, latNumber);
    } else {
      std::optional<FieldValue> lon = lonPlain ? FieldValue(lonNumber) : reader.Next();
      if (!lonPlain) lonLine = reader.Line();
      std::optional<FieldValue> lat = lon ? reader.Next() : std::nullopt;
      if (!lat) throw tooShort(i - 1);
      table.SetSource(i, std::move(*lon), std::move(*lat));
    }

    if (table.IsValid(i) && !table.IsUsable(i)) {
      if (report.unusableCount == 0) {
        report.firstUnusableEntry = i;
        // The line of the field at fault, which may be the latitude's on a line of its own.
        const bool lonIsNumber = table.SrcLon(i).AsNumber().has_value();
        report.firstUnusableLine = lonIsNumber ? reader.Line() : lonLine;
      }
      ++report.unusableCount;
    }
  }

  if (report.unusableCount > 0) {
    report.notice = Printable(std::filesystem::path(path).filename().string()) + ": " +
                    std::to_string(report.unusableCount) +
                    " point(s) hold a field that is neither a number that can be drawn nor "
                    "\"NA\" and are not drawn; the first is entry " +
                    std::to_string(report.firstUnusableEntry) + " on line " +
                    std::to_string(report.firstUnusableLine);
  }
  return report;
}

}  // namespace globeview
