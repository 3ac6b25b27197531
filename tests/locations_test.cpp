#include "data/locations.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "system/files.h"
#include "test_support.h"

namespace globeview {
namespace {

using Places = std::vector<std::string>;
using test::ScratchDir;

TEST(LocationsTest, EachLayoutLooksInTheCurrentFolderFirstThenWhereItKeepsTheFile) {
  const std::string portable = "/build/bin";
  const struct {
    const char* name;
    std::string program;
    std::map<std::string, std::string> environment;
    std::string accountHome;
    Places coastline;
    Places settings;
    std::string save;
    bool makeSaveFolder;
  } cases[] = {
      {"portable: data.dat beside the program; no environment read",
       portable,
       {{"XDG_CONFIG_HOME", "/xdg"}, {"HOME", "/home/u"}},
       "/home/account",
       {"data.dat", "/build/bin/data.dat"},
       {"data2.dat", "/build/bin/data2.dat"},
       "/build/bin/data2.dat",
       false},
      {"installed: the user's view before the shipped one",
       "/usr/bin",
       {{"XDG_CONFIG_HOME", "/xdg"}, {"HOME", "/home/u"}},
       "/home/account",
       {"data.dat", "/usr/share/globeview/data.dat"},
       {"data2.dat", "/xdg/globeview/data2.dat", "/usr/share/globeview/data2.dat"},
       "/xdg/globeview/data2.dat",
       true},
      {"installed and moved: the share folder follows the program; ~/.config by default",
       "/tmp/moved/bin",
       {{"HOME", "/home/u/"}},
       "/home/account",
       {"data.dat", "/tmp/moved/share/globeview/data.dat"},
       {"data2.dat", "/home/u/.config/globeview/data2.dat", "/tmp/moved/share/globeview/data2.dat"},
       "/home/u/.config/globeview/data2.dat",
       true},
      {"installed: empty or relative values do not count; the account's home does",
       "/usr/bin",
       {{"XDG_CONFIG_HOME", ""}, {"HOME", "relative"}},
       "/home/account",
       {"data.dat", "/usr/share/globeview/data.dat"},
       {"data2.dat", "/home/account/.config/globeview/data2.dat", "/usr/share/globeview/data2.dat"},
       "/home/account/.config/globeview/data2.dat",
       true},
      {"installed: no home at all keeps the view in the current folder",
       "/usr/bin",
       {},
       "",
       {"data.dat", "/usr/share/globeview/data.dat"},
       {"data2.dat", "/usr/share/globeview/data2.dat"},
       "data2.dat",
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> asked;
    LocationSystem system;
    system.programDirectory = c.program;
    system.shareFromProgram = "../share/globeview";
    system.isFile = [&](const std::string& path) { return path == portable + "/data.dat"; };
    system.environment = [&](const char* name) -> const char* {
      asked.push_back(name);
      const auto found = c.environment.find(name);
      return found == c.environment.end() ? nullptr : found->second.c_str();
    };
    system.accountHome = [&] {
      asked.push_back("account");
      return c.accountHome;
    };

    const FileLocations files = LocateFiles(system);
    EXPECT_EQ(files.coastline, c.coastline);
    EXPECT_EQ(files.settings, c.settings);
    EXPECT_EQ(files.settingsSave, c.save);
    EXPECT_EQ(files.makeSaveFolder, c.makeSaveFolder);
    // The place files are looked for where the coastline is.
    for (const auto& [places, name] : {std::pair{files.borders, "borders.dat"},
                                       {files.countries, "countries.dat"},
                                       {files.cities, "cities.dat"}}) {
      Places expected = c.coastline;
      for (auto& place : expected) place.replace(place.rfind("data.dat"), 8, name);
      EXPECT_EQ(places, expected) << name;
    }
    if (c.program == portable) {
      EXPECT_TRUE(asked.empty());
    }
    for (const auto& name : asked) {
      EXPECT_TRUE(name == "XDG_CONFIG_HOME" || name == "HOME" || name == "account") << name;
    }
  }
}

TEST(LocationsTest, TakesTheFirstPlaceHoldingAFileElseTheLast) {
  ScratchDir dir;
  const std::string here = dir.Write("here.dat", "");
  const std::string shipped = dir.Write("shipped.dat", "");
  const std::string missing = dir.Path("missing.dat");
  std::filesystem::create_directory(dir.Path("folder.dat"));
  const struct {
    Places places;
    std::string found;
  } cases[] = {
      {{here, shipped}, here},
      {{missing, shipped}, shipped},
      {{dir.Path("folder.dat"), shipped}, shipped},
      {{missing, dir.Path("also missing.dat")}, dir.Path("also missing.dat")},
  };
  for (const auto& c : cases) EXPECT_EQ(FindFile(c.places), c.found) << c.places.front();
}

TEST(LocationsTest, MakesThePrivateFoldersForTheUsersView) {
  ScratchDir dir;
  const std::string save = dir.Path("config/globeview/data2.dat");
  MakeFoldersFor(save);
  MakeFoldersFor(save);
  struct stat info {};
  ASSERT_EQ(::stat(dir.Path("config/globeview").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  dir.Write("plain", "");
  try {
    MakeFoldersFor(dir.Path("plain/globeview/data2.dat"));
    ADD_FAILURE() << "made a folder inside a file";
  } catch (const FileError& error) {
    EXPECT_EQ(error.what(),
              "cannot create globeview in " + dir.Path("plain") + ": Not a directory");
  }
}

}  // namespace
}  // namespace globeview
