#pragma once

#include <string>

#include "data/field_value.h"

namespace globeview {

inline constexpr const char* kSettingsFile = "data2.dat";

// What the settings file gave: the centre longitude a1, latitude b1 and magnification c1, and a
// one-line notice when the file could not give them (then 0, 0, 1 as numbers); empty otherwise.
struct SettingsRead {
  FieldValue a1, b1, c1;
  std::string notice;
};

// Reads three fields from the settings file at `path`. A missing file, one that is not a regular
// file, or one with fewer than three fields, is no failure: the view starts at longitude 0,
// latitude 0, magnification 1.
SettingsRead ReadSettings(const std::string& path);

// Writes one record of a1, b1, c1 to `path` (a text quoted exactly as typed, a number bare in its
// shortest form), replacing the previous file only once the new one is complete. Throws FileError,
// leaving the previous file as it was; also for a `path` that is not a regular file.
void SaveSettings(const std::string& path, const FieldValue& a1, const FieldValue& b1,
                  const FieldValue& c1);

}  // namespace globeview
