#pragma once

#include <string>
#include <vector>

namespace globeview {

// A place on the earth in degrees: longitude in [-180, 180], latitude in [-90, 90].
struct LonLat {
  double lon = 0;
  double lat = 0;
};

// A border between countries: its points in order, at least two, to be joined one to the next.
using Polyline = std::vector<LonLat>;

// Where a country's name is written: a point well inside its largest piece of land.
struct CountryLabel {
  std::string name;  // UTF-8, as written on the map
  double lon = 0;
  double lat = 0;
  double areaKm2 = 0;
  int isoNumeric = 0;  // ISO 3166-1 numeric code; 0 for a country without one
};

struct City {
  std::string name;  // UTF-8
  double lon = 0;
  double lat = 0;
  double population = 0;
  bool capital = false;
};

// The three place files are field files (see field_file.h) of UTF-8 text, made by
// tools/make-places.mjs. Each loader reads the whole file at `path` and throws FileError naming
// the file, and the line where one is at fault, when it cannot be opened or read ("cannot open
// borders.dat in /some/dir: No such file or directory") or holds something it cannot use
// ("cities.dat in /some/dir: line 12: the population is not a number of 0 or more: \"many\"").
// Every coordinate given back is a finite number in the range of LonLat.

// borders.dat: "lon,lat" pairs like data.dat's, a pair with "NA" in either field ending a border.
// A border of a single point draws nothing and is left out.
std::vector<Polyline> LoadBorders(const std::string& path);

// countries.dat: one country a line: "name",lon,lat,area in km²,ISO numeric code. Given back
// larger first (the order in which names are placed), countries of equal area in file order.
std::vector<CountryLabel> LoadCountryLabels(const std::string& path);

// cities.dat: one city a line: "name",lon,lat,population,capital (1 or 0). Given back capitals
// first, then each group more populous first, cities that tie in file order.
std::vector<City> LoadCities(const std::string& path);

// The program's names for the place files, found where the coastline file is.
inline constexpr const char* kBordersFile = "borders.dat";
inline constexpr const char* kCountriesFile = "countries.dat";
inline constexpr const char* kCitiesFile = "cities.dat";

}  // namespace globeview
