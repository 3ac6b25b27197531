#pragma once

// globeview.conf: the map's settings, an INI file of its own beside the user's view, apart from
// data2.dat, whose three fields stay as they are. Sections in brackets, one NAME=VALUE a line;
// blank lines and lines starting with # or ; are comments. The program never refuses to start for
// this file: a line it cannot read is skipped with a warning, and a missing file is no settings.

#include <string>
#include <utility>
#include <vector>

namespace globeview {

inline constexpr const char* kConfigFile = "globeview.conf";

struct ConfigEntry {
  std::string section;  // without its brackets; empty before the first section
  std::string name;
  std::string value;
  int line = 0;
};

struct ConfigRead {
  std::vector<ConfigEntry> entries;
  // One line each, naming the file, the line and what is wrong: "globeview.conf: line 3: not
  // NAME=VALUE: \"grid\"".
  std::vector<std::string> warnings;
  // The file's sections as they were seen, in order (a section may have no entries).
  std::vector<std::string> sections;

  // Whether the file has this section at all.
  bool HasSection(const std::string& section) const;
  // The entries of a section, in file order.
  std::vector<ConfigEntry> Section(const std::string& section) const;
};

// Reads the file at `path`; a missing one gives nothing and no warning, one that cannot be read a
// warning.
ConfigRead ReadConfig(const std::string& path);

// Writes `section` with these entries into the file at `path`, keeping every other section and
// comment as it was, and the file's place and mode (WriteFileReplacing). Throws FileError.
void WriteConfigSection(const std::string& path, const std::string& section,
                        const std::vector<std::pair<std::string, std::string>>& entries);

}  // namespace globeview
