#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/field_value.h"
#include "system/files.h"
#include "system/pages.h"

namespace globeview {

// Reads fields one at a time in file order, without regard to lines. Fields are separated by commas
// or line ends (CR LF or a bare LF). A field in double quotes is a text (a doubled quote inside
// stands for one quote); an unquoted field has its surrounding blanks dropped and is a number when
// it passes the numeric test, otherwise a text. Never reads past the field asked for (beyond the
// piece of the file that holds it), so a pipe whose writer keeps it open after the last field
// needed does not hold the reader up.
//
// Errors are a FileError naming the file, the line and the reason, for a quoted field that is never
// closed, a field longer than kMaxFieldLength, or a NUL byte, which no text file holds: a device
// such as /dev/zero is refused at its first byte.
class FieldReader {
 public:
  // Over text held in memory; `name` is used in error messages only.
  FieldReader(std::string_view content, std::string name);
  // Over an open file, read as the fields are asked for, at most `mostAtOnce` bytes at a time: a
  // regular file no larger comes in one read, a pipe or a device in pieces as its bytes arrive.
  FieldReader(InputFile& file, std::size_t mostAtOnce);
  FieldReader(const FieldReader&) = delete;
  FieldReader& operator=(const FieldReader&) = delete;

  // The next field, or nothing at the end of the content.
  std::optional<FieldValue> Next();
  // Takes the next field when it is a number ScanDecimal rounds at once ("-179.8488"), directly
  // followed by its separator, and gives that number, by construction the numeric test's;
  // otherwise takes nothing and returns false, leaving the field to Next. The coastline's fields
  // are nearly all of this kind, and no FieldValue is built for them.
  bool NextPlainNumber(double& number);

  // The 1-based line on which the last field returned started.
  std::int64_t Line() const { return fieldLine_; }

  static constexpr std::size_t kMaxFieldLength = 1 << 20;
  // How far past a too long quoted field a closing quote is looked for, to tell a field that is
  // merely too long from one that is never closed.
  static constexpr std::size_t kQuoteLookAhead = 16 * kMaxFieldLength;

 private:
  enum class Stage { kFirst, kBetween, kAtField, kEmptyAtEnd, kEnd };

  // Steps over the previous field's separator, blanks and empty lines to the next field; false
  // at the end.
  bool StartField();
  FieldValue QuotedField();
  FieldValue BareField();
  // Moves pos_ to the separator ending the field begun at fieldStart_; the field's text from
  // there, trailing blanks dropped.
  std::string_view ToSeparator();
  // Steps over one line end (CR LF, LF or a bare CR) at pos_.
  void SkipLineEnd();
  // Brings the next piece of the file; false at its end, or over text in memory.
  bool More();
  // Whether a quote follows the too long quoted field within kQuoteLookAhead bytes of where it
  // became too long: if not, its fault is taken to be the missing closing quote (a stray quote
  // early in a file makes the rest of it one field).
  bool QuoteAhead();
  [[noreturn]] void Fail(std::int64_t line, const std::string& reason) const;

  std::string name_;
  InputFile* file_ = nullptr;
  std::size_t piece_ = 0;
  std::size_t firstPiece_ = 0;
  bool fileEnded_ = false;
  // What has been read of the file, from buffer_.Data(); never cleared before it is read into.
  PageBlock buffer_;
  std::size_t buffered_ = 0;
  const char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t pos_ = 0;
  // Where the field being read begins: bytes before it are no longer needed.
  std::size_t fieldStart_ = 0;
  Stage stage_ = Stage::kFirst;
  std::int64_t line_ = 1;
  // The line of the field StartField has found, and of the last field taken.
  std::int64_t startLine_ = 0;
  std::int64_t fieldLine_ = 0;
};

// One record: the values separated by commas, a text in double quotes (quotes inside doubled), a
// number in the shortest decimal form that reads back to the same double, a period as the decimal
// separator; CR LF at the end.
std::string FormatRecord(const std::vector<FieldValue>& values);

// A number in the shortest decimal form that reads back to the same double ("40", "0.5", "1e+300").
std::string FormatNumber(double number);

}  // namespace globeview
