#include "data/settings_file.h"

#include <optional>

#include "data/field_file.h"
#include "system/files.h"

namespace globeview {
namespace {

// Starting from the view a first start shows, the whole earth around longitude 0, latitude 0, is a
// recovery, not a failure: the user sees the fields and the next "End" writes a good file, so one
// line of notice is enough. Numbers, so that a save before any typing writes them bare.
SettingsRead FallBack(const std::string& problem) {
  return SettingsRead{0.0, 0.0, 1.0,
                      problem + "; starting from longitude 0, latitude 0, magnification 1"};
}

}  // namespace

SettingsRead ReadSettings(const std::string& path) {
  // The three values lie at the start of a small file: one short read brings them, however large
  // the file or however long a pipe stays open after them.
  constexpr std::size_t kMostReadAtOnce = 4096;
  try {
    // Never a pipe: one left at the file's place would hold up the start for ever.
    InputFile file(path, FileKinds::kRegularOnly);
    FieldReader reader(file, kMostReadAtOnce);
    std::optional<FieldValue> fields[3];
    int found = 0;
    for (auto& field : fields) {
      field = reader.Next();
      if (!field) break;
      ++found;
    }
    if (found < 3) {
      return FallBack(
          FileError("", path, "holds only " + std::to_string(found) + " of the 3 view values")
              .what());
    }
    return SettingsRead{*fields[0], *fields[1], *fields[2], {}};
  } catch (const FileError& error) {
    return FallBack(error.what());
  }
}

void SaveSettings(const std::string& path, const FieldValue& a1, const FieldValue& b1,
                  const FieldValue& c1) {
  WriteFileReplacing(path, FormatRecord({a1, b1, c1}), FileKinds::kRegularOnly);
}

}  // namespace globeview
