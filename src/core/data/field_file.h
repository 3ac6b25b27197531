#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "data/field_value.h"

namespace globeview {

// A field file that cannot be read: the message names the file and the line
// ("data.dat: line 1203: quoted field is not closed").
class FieldFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads fields one at a time in file order, without regard to lines. Fields are separated by commas
// or line ends (CR LF or a bare LF). A field in double quotes is a text (a doubled quote inside
// stands for one quote); an unquoted field has its surrounding blanks dropped and is a number when it
// passes the numeric test, otherwise a text. Works over text held in memory; never reads past the
// field asked for.
class FieldReader {
 public:
  // `name` is used in error messages only.
  FieldReader(std::string_view content, std::string name);

  // The next field, or nothing at the end of the content. Throws FieldFileError for a quoted field
  // that is never closed, a field longer than kMaxFieldLength, or a NUL byte.
  std::optional<FieldValue> Next();

  // The 1-based line on which the last field returned started.
  int Line() const { return fieldLine_; }

  static constexpr std::size_t kMaxFieldLength = 1 << 20;

 private:
  std::string_view content_;
  std::string name_;
  std::size_t pos_ = 0;
  int line_ = 1;
  int fieldLine_ = 0;
  bool atEnd_ = false;
};

// One record: the values separated by commas, a text in double quotes (quotes inside doubled), a
// number in the shortest decimal form that reads back to the same double, a period as the decimal
// separator; CR LF at the end.
std::string FormatRecord(const std::vector<FieldValue>& values);

// A number in the shortest decimal form that reads back to the same double ("40", "0.5", "1e+300").
std::string FormatNumber(double number);

}  // namespace globeview
