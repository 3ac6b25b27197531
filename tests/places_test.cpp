#include "data/places.h"

#include <gtest/gtest.h>

#include <string>

#include "data/field_file.h"
#include "system/files.h"
#include "test_support.h"

namespace globeview {
namespace {

using test::ScratchDir;

// What a loader gave back, as records of the file's own format, in the order given back.
std::string Borders(const std::string& path) {
  std::string text;
  for (const Polyline& border : LoadBorders(path)) {
    for (const LonLat& point : border) text += FormatRecord({point.lon, point.lat});
    text += "|";
  }
  return text;
}
std::string Countries(const std::string& path) {
  std::string text;
  for (const CountryLabel& c : LoadCountryLabels(path)) {
    text += FormatRecord({c.name, c.lon, c.lat, c.areaKm2, static_cast<double>(c.isoNumeric)});
  }
  return text;
}
std::string Cities(const std::string& path) {
  std::string text;
  for (const City& c : LoadCities(path)) {
    text += FormatRecord({c.name, c.lon, c.lat, c.population, c.capital ? 1.0 : 0.0});
  }
  return text;
}

TEST(PlacesTest, LoadsEachFileOrNamesTheLineAtFault) {
  const struct {
    const char* file;
    std::string (*load)(const std::string& path);
    std::string content;
    std::string expected;  // what was loaded, or the error after "<file> in <folder>"
  } cases[] = {
      {"borders.dat", Borders,
       "1,2\r\n3,4\r\nNA,NA\r\n5,6\r\nNA,NA\r\n-180,-90,180\r\n90\r\nNA,7\r\n",
       "1,2\r\n3,4\r\n|-180,-90\r\n180,90\r\n|"},
      {"borders.dat", Borders, "1,2\r\n3,95\r\n",
       ": line 2: the latitude is not a number from -90 to 90: 95"},
      {"countries.dat", Countries,
       "\"日本\",138,36,3,392\r\n\"ロシア\",107,62,17,643\r\n\"A, \"\"B\"\"\",0,0,17,0\r\n",
       "\"ロシア\",107,62,17,643\r\n\"A, \"\"B\"\"\",0,0,17,0\r\n\"日本\",138,36,3,392\r\n"},
      {"countries.dat", Countries, "\"日本\",138,36,3,392\r\n\"ロシア\",107,62,643\r\n",
       ": line 2: a country is \"name\",longitude,latitude,area,ISO code; this line holds 4 "
       "field(s)"},
      {"cities.dat", Cities,
       "\"Osaka\",135,35,2,0\r\n\"Tokyo\",140,36,8,1\r\n\"Xi’an\",109,34,6,0\r\n",
       "\"Tokyo\",140,36,8,1\r\n\"Xi’an\",109,34,6,0\r\n\"Osaka\",135,35,2,0\r\n"},
      {"cities.dat", Cities, "\"Tokyo\",140,36,8,1\r\n\"Osaka\",135,35,many,0\r\n",
       ": line 2: the population is not a number of 0 or more: \"many\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.content);
    ScratchDir dir;
    const std::string path = dir.Write(c.file, c.content);
    try {
      EXPECT_EQ(c.load(path), c.expected);
    } catch (const FileError& e) {
      EXPECT_EQ(e.what(), c.file + (" in " + dir.Root()) + c.expected);
    }
  }
}

TEST(PlacesTest, TheShippedFilesLoad) {
  const std::string assets = GLOBEVIEW_ASSETS_DIR "/";
  EXPECT_GT(LoadBorders(assets + kBordersFile).size(), 150u);
  const auto countries = LoadCountryLabels(assets + kCountriesFile);
  ASSERT_GT(countries.size(), 150u);
  EXPECT_EQ(countries.front().name, "ロシア連邦");
  const auto cities = LoadCities(assets + kCitiesFile);
  EXPECT_TRUE(cities.size() > 250 && cities.size() < 350) << cities.size();
}

}  // namespace
}  // namespace globeview
