#include "data/locations.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "data/coastline.h"
#include "data/config_file.h"
#include "data/places.h"
#include "data/settings_file.h"
#include "system/application.h"
#include "system/files.h"

#ifndef GLOBEVIEW_SHARE_FROM_BIN
#define GLOBEVIEW_SHARE_FROM_BIN "../share/globeview"
#endif

namespace globeview {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUserFolder = "globeview";

// Joined as every path of the program is, then with its "." and ".." steps resolved, so that a
// message names the folder plainly.
std::string Join(const std::string& directory, const std::string& name) {
  return fs::path(JoinPath(directory, name)).lexically_normal().string();
}

// Only an absolute value counts: a relative XDG_CONFIG_HOME is to be ignored, as desktops agree,
// and a relative HOME would depend on the current folder.
std::string AbsoluteOrEmpty(const char* value) {
  if (value == nullptr || value[0] != '/') return {};
  return value;
}

// $XDG_CONFIG_HOME, else ~/.config, with the home folder from HOME, else from the account.
std::string UserConfigFolder(const LocationSystem& system) {
  const std::string configHome = AbsoluteOrEmpty(system.environment("XDG_CONFIG_HOME"));
  if (!configHome.empty()) return configHome;
  std::string home = AbsoluteOrEmpty(system.environment("HOME"));
  if (home.empty() && system.accountHome) home = AbsoluteOrEmpty(system.accountHome().c_str());
  if (home.empty()) return {};
  return Join(home, ".config");
}

std::string AccountHome() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
      found == nullptr || found->pw_dir == nullptr) {
    return {};
  }
  return found->pw_dir;
}

// A file, a pipe or a device: anything a read can take, which a folder is not.
bool IsFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

// The files shipped with the coastline file: each in the current folder, else in `folder`.
void AddShippedFiles(FileLocations& files, const std::string& folder) {
  files.borders = {kBordersFile, Join(folder, kBordersFile)};
  files.countries = {kCountriesFile, Join(folder, kCountriesFile)};
  files.cities = {kCitiesFile, Join(folder, kCitiesFile)};
}

}  // namespace

FileLocations LocateFiles(const LocationSystem& system) {
  const std::string coastline = kCoastlineFile;
  const std::string settings = kSettingsFile;
  const std::string besideProgram = system.programDirectory;
  if (system.isFile(Join(besideProgram, coastline))) {
    const std::string save = Join(besideProgram, settings);
    FileLocations files{{coastline, Join(besideProgram, coastline)}, {settings, save}, save};
    AddShippedFiles(files, besideProgram);
    files.config = Join(besideProgram, kConfigFile);
    return files;
  }

  const std::string shared = Join(besideProgram, system.shareFromProgram);
  FileLocations files{{coastline, Join(shared, coastline)}, {settings}, {}};
  AddShippedFiles(files, shared);
  const std::string userFolder = UserConfigFolder(system);
  if (userFolder.empty()) {
    // Nowhere of the user's own: the view is kept in the current folder, where the next start from
    // the same folder finds it first.
    files.settingsSave = settings;
  } else {
    files.settingsSave = Join(Join(userFolder, kUserFolder), settings);
    files.settings.push_back(files.settingsSave);
    files.makeSaveFolder = true;
  }
  files.settings.push_back(Join(shared, settings));
  files.config = fs::path(files.settingsSave).replace_filename(kConfigFile).string();
  return files;
}

FileLocations LocateFiles() {
  return LocateFiles(LocationSystem{ApplicationDirectory(), GLOBEVIEW_SHARE_FROM_BIN, IsFile,
                                    [](const char* name) { return std::getenv(name); },
                                    AccountHome});
}

std::string FindFile(const std::vector<std::string>& places) {
  for (const std::string& place : places) {
    if (IsFile(place)) return place;
  }
  return places.empty() ? std::string() : places.back();
}

void MakeFoldersFor(const std::string& path) {
  const fs::path folder = fs::path(path).parent_path();
  fs::path made;
  for (const fs::path& part : folder) {
    made /= part;
    // Something already there that is no folder makes the next step fail, naming it.
    if (::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST) {
      throw FileError("create", made.string(), std::strerror(errno));
    }
  }
}

}  // namespace globeview
