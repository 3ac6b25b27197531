#include "data/places.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>

#include "data/field_file.h"
#include "system/error_report.h"
#include "system/files.h"

namespace globeview {
namespace {

// The place files are read in pieces of this size. A buffer this small is filled again and again,
// while fresh memory for a whole file (the shipped borders are about 0.3 MB) costs a page fault
// every 4 KB, which made up half of the load.
constexpr std::size_t kMostReadAtOnce = std::size_t{16} << 10;

constexpr double kMaxLonDeg = 180;
constexpr double kMaxLatDeg = 90;
constexpr double kMaxIsoNumeric = 999;
// A country's or a city's record: the name, longitude, latitude, a size and a code.
constexpr std::size_t kRecordFields = 5;

[[noreturn]] void Fail(const std::string& path, std::int64_t line, const std::string& reason) {
  throw FileError("", path, line, reason);
}

// The field as the file has it, for a message about it.
std::string Found(const FieldValue& value) {
  return value.IsNumber() ? value.ToText() : Quoted(value.Text());
}

double NumberFromTo(const FieldValue& value, double low, double high, const std::string& what,
                    const std::string& path, std::int64_t line) {
  const std::optional<double> number = value.AsNumber();
  if (!number || !(*number >= low && *number <= high)) {
    Fail(path, line,
         what + " is not a number from " + FormatNumber(low) + " to " + FormatNumber(high) + ": " +
             Found(value));
  }
  return *number;
}

// Reads a file of records, one a line, each of a fixed number of fields, and checks their fields
// with messages that name the record's line.
class RecordReader {
 public:
  // `layout` says what a record holds, for the message about a line of another length.
  RecordReader(const std::string& path, std::size_t fields, std::string layout)
      : path_(path),
        file_(path, FileKinds::kRegularOnly),
        reader_(file_, kMostReadAtOnce),
        fields_(fields),
        layout_(std::move(layout)) {}

  // Takes the next record; false at the end of the file.
  bool Next() {
    if (!started_) Advance();
    started_ = true;
    if (!ahead_) return false;
    // A record is the fields that begin on its line: the first of the next line ends it.
    record_.clear();
    line_ = aheadLine_;
    while (ahead_ && aheadLine_ == line_) {
      record_.push_back(std::move(*ahead_));
      Advance();
    }
    if (record_.size() != fields_) {
      Fail(path_, line_,
           layout_ + "; this line holds " + std::to_string(record_.size()) + " field(s)");
    }
    return true;
  }

  std::string Name(std::size_t field) const {
    const FieldValue& value = record_[field];
    if (!value.IsText() || value.Text().empty()) {
      Fail(path_, line_, "the name is empty or a number: " + Found(value));
    }
    return value.Text();
  }
  double Lon(std::size_t field) const {
    return NumberFromTo(record_[field], -kMaxLonDeg, kMaxLonDeg, "the longitude", path_, line_);
  }
  double Lat(std::size_t field) const {
    return NumberFromTo(record_[field], -kMaxLatDeg, kMaxLatDeg, "the latitude", path_, line_);
  }
  double NotNegative(std::size_t field, const std::string& what) const {
    const std::optional<double> number = record_[field].AsNumber();
    if (!number || !(*number >= 0) || !std::isfinite(*number)) {
      Fail(path_, line_, what + " is not a number of 0 or more: " + Found(record_[field]));
    }
    return *number;
  }
  int WholeFromTo(std::size_t field, double low, double high, const std::string& what) const {
    const double number = NumberFromTo(record_[field], low, high, what, path_, line_);
    if (number != std::floor(number)) {
      Fail(path_, line_, what + " is not a whole number: " + Found(record_[field]));
    }
    return static_cast<int>(number);
  }

 private:
  void Advance() {
    ahead_ = reader_.Next();
    aheadLine_ = reader_.Line();
  }

  std::string path_;
  InputFile file_;
  FieldReader reader_;
  std::size_t fields_;
  std::string layout_;
  bool started_ = false;
  // The field after the record, read to see where the record ends.
  std::optional<FieldValue> ahead_;
  std::int64_t aheadLine_ = 0;
  std::vector<FieldValue> record_;
  std::int64_t line_ = 0;
};

}  // namespace

std::vector<Polyline> LoadBorders(const std::string& path) {
  InputFile file(path, FileKinds::kRegularOnly);
  FieldReader reader(file, kMostReadAtOnce);
  std::vector<Polyline> borders;
  Polyline border;
  const auto endBorder = [&] {
    if (border.size() >= 2) borders.push_back(std::move(border));
    border.clear();
  };
  while (std::optional<FieldValue> lon = reader.Next()) {
    const std::int64_t lonLine = reader.Line();
    const std::optional<FieldValue> lat = reader.Next();
    if (!lat) Fail(path, lonLine, "the file ends after a longitude: the latitude is missing");
    if (lon->IsNA() || lat->IsNA()) {
      endBorder();
      continue;
    }
    border.push_back(
        {NumberFromTo(*lon, -kMaxLonDeg, kMaxLonDeg, "the longitude", path, lonLine),
         NumberFromTo(*lat, -kMaxLatDeg, kMaxLatDeg, "the latitude", path, reader.Line())});
  }
  endBorder();
  return borders;
}

std::vector<CountryLabel> LoadCountryLabels(const std::string& path) {
  RecordReader records(path, kRecordFields,
                       "a country is \"name\",longitude,latitude,area,ISO code");
  std::vector<CountryLabel> countries;
  while (records.Next()) {
    countries.push_back({records.Name(0), records.Lon(1), records.Lat(2),
                         records.NotNegative(3, "the area"),
                         records.WholeFromTo(4, 0, kMaxIsoNumeric, "the ISO code")});
  }
  std::stable_sort(
      countries.begin(), countries.end(),
      [](const CountryLabel& a, const CountryLabel& b) { return a.areaKm2 > b.areaKm2; });
  return countries;
}

std::vector<City> LoadCities(const std::string& path) {
  RecordReader records(path, kRecordFields,
                       "a city is \"name\",longitude,latitude,population,capital");
  std::vector<City> cities;
  while (records.Next()) {
    cities.push_back({records.Name(0), records.Lon(1), records.Lat(2),
                      records.NotNegative(3, "the population"),
                      records.WholeFromTo(4, 0, 1, "the capital mark") == 1});
  }
  std::stable_sort(cities.begin(), cities.end(), [](const City& a, const City& b) {
    if (a.capital != b.capital) return a.capital;
    return a.population > b.population;
  });
  return cities;
}

}  // namespace globeview
