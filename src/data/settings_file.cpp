#include "data/settings_file.h"

#include <iostream>
#include <optional>

#include "data/field_file.h"
#include "platform/files.h"

namespace globeview {
namespace {

// The view a first start shows: the whole earth around longitude 0, latitude 0. Numbers, so that a
// save before any typing writes them bare.
ViewValues DefaultView() {
  return ViewValues{0.0, 0.0, 1.0};
}

// Starting from the default view is a recovery, not a failure: the user sees the fields and the
// next "End" writes a good file, so one line on stderr is enough.
ViewValues FallBack(const std::string& problem) {
  std::cerr << problem << "; starting from longitude 0, latitude 0, magnification 1\n";
  return DefaultView();
}

}  // namespace

ViewValues ReadSettings(const std::string& path) {
  try {
    // Mapped, so only the three fields are ever read, however large the file.
    const MappedFile file(path);
    FieldReader reader(file.Content(), path);
    std::optional<FieldValue> fields[3];
    int found = 0;
    for (auto& field : fields) {
      field = reader.Next();
      if (!field) break;
      ++found;
    }
    if (found < 3) {
      return FallBack(path + " holds only " + std::to_string(found) + " of the 3 view values");
    }
    return ViewValues{*fields[0], *fields[1], *fields[2]};
  } catch (const FileError& error) {
    return FallBack(error.what());
  } catch (const FieldFileError& error) {
    return FallBack(error.what());
  }
}

void SaveSettings(const std::string& path, const ViewValues& view) {
  WriteFileReplacing(path, FormatRecord({view.a1, view.b1, view.c1}));
}

}  // namespace globeview
