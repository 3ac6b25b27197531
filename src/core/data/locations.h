#pragma once

#include <functional>
#include <string>
#include <vector>

namespace globeview {

// Where the program reads and writes its files, worked out once at start-up from where the program
// itself lies, so that it works started from any folder.
//
// Portable layout (a data.dat beside the program, as in a build folder or an unpacked archive):
// each file is taken from the current folder, else from beside the program, where "End" writes the
// view. Nothing else is consulted.
//
// Installed layout (no data.dat beside the program): the shipped files lie in the share folder
// found from the program's own folder (../share/globeview for a program in bin/), so a copy moved
// to another prefix still finds them. The view is the current folder's, else the user's own saved
// view ($XDG_CONFIG_HOME/globeview/data2.dat, by default ~/.config/globeview/data2.dat), else the
// shipped first view; "End" writes the user's own file, making its folder first.
struct FileLocations {
  // The places of the coastline file and of the view file, in the order they are tried. The first
  // is always the name alone, that is, the current folder's file.
  std::vector<std::string> coastline;
  std::vector<std::string> settings;
  // Where "End" writes the view.
  std::string settingsSave;
  // Whether the folders leading to settingsSave are made when missing (the user's own folder,
  // which a new user does not have yet).
  bool makeSaveFolder = false;
  // The places of the map's place files (borders, country names, cities), tried as the
  // coastline's are: the current folder first, then the folder the coastline is shipped in.
  std::vector<std::string> borders{};
  std::vector<std::string> countries{};
  std::vector<std::string> cities{};
  // The settings of the map (its layers, the rotator), read and written beside the saved view:
  // globeview.conf.
  std::string config{};
};

// What locating the files asks of the system. LocateFiles() fills it for the running program;
// tests give their own.
struct LocationSystem {
  // The folder holding the program's executable, absolute.
  std::string programDirectory;
  // The share folder relative to programDirectory, as the build configured the installation.
  std::string shareFromProgram;
  // Whether a path names something a file can be read from (not a folder).
  std::function<bool(const std::string& path)> isFile;
  // An environment variable's value; null when unset. Asked only in the installed layout.
  std::function<const char*(const char* name)> environment;
  // The user's home folder from the account database; empty when unknown. Asked only in the
  // installed layout, when HOME is unset.
  std::function<std::string()> accountHome;
};

FileLocations LocateFiles(const LocationSystem& system);

// The locations for the running program.
FileLocations LocateFiles();

// The first of `places` that holds a file. When none does, the last: the program's own copy,
// whose absence is what the error about it must name.
std::string FindFile(const std::vector<std::string>& places);

// Makes the missing folders leading to the file at `path`, private to the user as a configuration
// folder should be. Throws FileError ("create") naming the folder that could not be made.
void MakeFoldersFor(const std::string& path);

}  // namespace globeview
