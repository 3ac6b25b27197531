#pragma once

#include <string>

#include "view/view_values.h"

namespace globeview {

inline constexpr const char* kSettingsFile = "data2.dat";

// Reads three fields from the settings file at `path` into a1, b1, c1. A missing file, or one with
// fewer than three fields, gives longitude 0, latitude 0, magnification 1 (numbers) and a one-line
// notice on stderr.
ViewValues ReadSettings(const std::string& path);

// Writes one record of a1, b1, c1 to `path` (a text quoted exactly as typed, a number bare in its
// shortest form), replacing the previous file only once the new one is complete. Throws FileError,
// leaving the previous file as it was.
void SaveSettings(const std::string& path, const ViewValues& view);

}  // namespace globeview
