#include "data/places.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "data/field_file.h"
#include "system/files.h"
#include "test_support.h"

namespace globeview {
namespace {

using test::ScratchDir;

// Built a piece at a time: GCC 12 warns falsely (-Wrestrict) about " " + std::string.
std::string At(double lon, double lat) {
  std::string text = " ";
  text += FormatNumber(lon);
  text += ' ';
  text += FormatNumber(lat);
  return text;
}

// What a loader gave back, in one line: every border's points, every country, every city, in order.
std::string Borders(const std::string& path) {
  std::string text;
  for (const Polyline& border : LoadBorders(path)) {
    for (const LonLat& point : border) text += At(point.lon, point.lat) + ";";
    text += "|";
  }
  return text;
}
std::string Countries(const std::string& path) {
  std::string text;
  for (const CountryLabel& c : LoadCountryLabels(path)) {
    text += c.name + At(c.lon, c.lat) + " " + FormatNumber(c.areaKm2) + " " +
            std::to_string(c.isoNumeric) + "|";
  }
  return text;
}
std::string Cities(const std::string& path) {
  std::string text;
  for (const City& c : LoadCities(path)) {
    text += c.name + At(c.lon, c.lat) + " " + FormatNumber(c.population) + " " +
            (c.capital ? "capital" : "city") + "|";
  }
  return text;
}

TEST(PlacesTest, LoadsEachFileOrNamesTheLineAtFault) {
  const struct {
    const char* file;
    std::function<std::string(const std::string&)> load;
    std::string content;
    std::string expected;  // what was loaded, or the error after "<file> in <folder>"
  } cases[] = {
      {"borders.dat", Borders,
       "1,2\r\n3,4\r\nNA,NA\r\n5,6\r\nNA,NA\r\n-180,-90,180\r\n90\r\nNA,7\r\n",
       " 1 2; 3 4;| -180 -90; 180 90;|"},
      {"borders.dat", Borders, "1,2\r\n3,95\r\n",
       ": line 2: the latitude is not a number from -90 to 90: 95"},
      {"borders.dat", Borders, "1,2\r\n3\r\n",
       ": line 2: the file ends after a longitude: the latitude is missing"},
      {"countries.dat", Countries,
       "\"日本\",138,36,370075,392\r\n\"ロシア連邦\",107.7,62,16879748,643\r\n\"A, "
       "\"\"B\"\"\",0,0,16879748,0\r\n",
       "ロシア連邦 107.7 62 16879748 643|A, \"B\" 0 0 16879748 0|日本 138 36 370075 392|"},
      {"countries.dat", Countries, "\"日本\",138,36,370075,392\r\n\"ロシア連邦\",107.7,62,643\r\n",
       ": line 2: a country is \"name\",longitude,latitude,area,ISO code; this line holds 4 "
       "field(s)"},
      {"countries.dat", Countries, "\"日本\",138,36,370075,392.5\r\n",
       ": line 1: the ISO code is not a whole number: 392.5"},
      {"cities.dat", Cities,
       "\"Osaka\",135.5,34.7,2592413,0\r\n\"Tokyo\",139.7,35.7,8336599,1\r\n\"Xi’an\",108.9,34.3,"
       "6501190,0\r\n",
       "Tokyo 139.7 35.7 8336599 capital|Xi’an 108.9 34.3 6501190 city|Osaka 135.5 34.7 2592413 "
       "city|"},
      {"cities.dat", Cities, "\"Tokyo\",139.7,35.7,8336599,1\r\n\"Osaka\",135.5,34.7,many,0\r\n",
       ": line 2: the population is not a number of 0 or more: \"many\""},
      {"cities.dat", Cities, "\"Tokyo,139.7,35.7,8336599,1\r\n",
       ": line 1: quoted field is not closed"},
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
  const auto borders = LoadBorders(assets + kBordersFile);
  const auto countries = LoadCountryLabels(assets + kCountriesFile);
  const auto cities = LoadCities(assets + kCitiesFile);
  EXPECT_GT(borders.size(), 150u);
  ASSERT_GT(countries.size(), 150u);
  EXPECT_EQ(countries.front().name, "ロシア連邦");
  EXPECT_GT(cities.size(), 250u);
  EXPECT_LT(cities.size(), 350u);
  EXPECT_TRUE(cities.front().capital);
}

}  // namespace
}  // namespace globeview
