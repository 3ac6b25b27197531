#include "data/field_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "system/numeric.h"

// Layout rules the reader settles beyond the bare format:
// - An empty line (nothing but blanks between two line ends) holds no field and is skipped, so a
//   blank line between records shifts nothing.
// - An empty field between two commas, or between a comma and a line end or the end of the text,
//   is the empty text.
// - Blanks between a closing quote and the separator are dropped. Other stray text there turns the
//   field into its raw text, quotes included ("1"5 is the text "1"5, not the number 15), so a
//   damaged field is never taken for a number and nothing after it shifts.
// - A bare CR ends a line as CR LF and LF do.

namespace globeview {
namespace {

bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}

std::string TooLong() {
  return "field is longer than " + std::to_string(FieldReader::kMaxFieldLength) + " bytes";
}

constexpr const char* kNulByte = "NUL byte: this is not a text file";
constexpr const char* kNotClosed = "quoted field is not closed";

// A pipe or a device is read in pieces of this size as its bytes arrive.
constexpr std::size_t kStreamPiece = std::size_t{1} << 16;

}  // namespace

FieldReader::FieldReader(std::string_view content, std::string name)
    : name_(std::move(name)), data_(content.data()), size_(content.size()) {}

FieldReader::FieldReader(InputFile& file, std::size_t mostAtOnce)
    : name_(file.Path()),
      file_(&file),
      piece_(std::max<std::size_t>(1, std::min(kStreamPiece, mostAtOnce))),
      firstPiece_(file.SizeHint() > 0
                      ? std::max<std::size_t>(1, std::min(file.SizeHint(), mostAtOnce))
                      : piece_) {}

void FieldReader::Fail(std::int64_t line, const std::string& reason) const {
  throw FileError("", name_, line, reason);
}

bool FieldReader::More() {
  if (file_ == nullptr || fileEnded_) return false;
  // What lies before the field being read is dropped once it is half the buffer, so a long stream
  // takes no more memory than its longest field and a piece or two, and each byte moves at most
  // about once.
  if (fieldStart_ > 0 && fieldStart_ >= buffered_ / 2) {
    std::memmove(buffer_.Data(), buffer_.Data() + fieldStart_, buffered_ - fieldStart_);
    buffered_ -= fieldStart_;
    pos_ -= fieldStart_;
    fieldStart_ = 0;
  }
  const std::size_t want = firstPiece_;
  if (buffered_ + want > buffer_.Size()) {
    PageBlock larger(std::max(2 * buffer_.Size(), buffered_ + want));
    if (buffered_ > 0) std::memcpy(larger.Data(), buffer_.Data(), buffered_);
    buffer_ = std::move(larger);
  }
  const std::size_t got = file_->ReadSome(buffer_.Data() + buffered_, want);
  buffered_ += got;
  firstPiece_ = piece_;
  data_ = buffer_.Data();
  size_ = buffered_;
  fileEnded_ = got == 0;
  return got > 0;
}

void FieldReader::SkipLineEnd() {
  if (data_[pos_++] == '\r') {
    if (pos_ == size_) More();
    if (pos_ < size_ && data_[pos_] == '\n') ++pos_;
  }
  ++line_;
}

bool FieldReader::StartField() {
  switch (stage_) {
    case Stage::kAtField:
    case Stage::kEmptyAtEnd:
      return true;
    case Stage::kEnd:
      return false;
    case Stage::kFirst:
    case Stage::kBetween:
      break;
  }
  fieldStart_ = pos_;
  // Every field but the first is entered at its separator; a comma promises a field even when
  // nothing follows it, a line end does not.
  bool afterComma = false;
  if (stage_ == Stage::kBetween && (pos_ < size_ || More())) {
    if (data_[pos_] == ',') {
      ++pos_;
      afterComma = true;
    } else {
      SkipLineEnd();
    }
  }
  for (;;) {
    for (;;) {
      if (pos_ == size_) {
        fieldStart_ = pos_;
        if (!More()) break;
      }
      if (!IsBlank(data_[pos_])) break;
      ++pos_;
    }
    if (pos_ == size_) {
      startLine_ = line_;
      stage_ = afterComma ? Stage::kEmptyAtEnd : Stage::kEnd;
      return afterComma;
    }
    if (afterComma || !IsLineEnd(data_[pos_])) break;
    SkipLineEnd();
  }
  fieldStart_ = pos_;
  startLine_ = line_;
  stage_ = Stage::kAtField;
  return true;
}

// Reads the everyday "-179.8488" in the same pass that finds its separator, which halves the work
// of a load. The scan is the numeric test's own, so the value is the very one ParseNumber gives;
// a number it cannot round at once, or one with blanks or anything else before its separator, is
// left to Next, as is a field not yet followed by its separator in memory, for which Next waits.
bool FieldReader::NextPlainNumber(double& number) {
  // The usual step from one number to the next, a comma or a CR LF, without StartField's rounds.
  if (stage_ == Stage::kBetween && pos_ + 2 < size_) {
    if (data_[pos_] == ',' && !IsBlank(data_[pos_ + 1]) && !IsLineEnd(data_[pos_ + 1])) {
      ++pos_;
      startLine_ = line_;
      stage_ = Stage::kAtField;
    } else if (data_[pos_] == '\r' && data_[pos_ + 1] == '\n' && !IsBlank(data_[pos_ + 2]) &&
               !IsLineEnd(data_[pos_ + 2])) {
      pos_ += 2;
      startLine_ = ++line_;
      stage_ = Stage::kAtField;
    }
  }
  if (stage_ != Stage::kAtField && (!StartField() || stage_ != Stage::kAtField)) return false;
  fieldStart_ = pos_;

  const DecimalScan scan = ScanDecimal(std::string_view(data_ + pos_, size_ - pos_));
  const std::size_t end = pos_ + scan.length;
  if (scan.length == 0 || !scan.exact || end == size_ ||
      (data_[end] != ',' && !IsLineEnd(data_[end]))) {
    return false;
  }
  number = scan.value;
  pos_ = end;
  fieldLine_ = startLine_;
  stage_ = Stage::kBetween;
  return true;
}

std::optional<FieldValue> FieldReader::Next() {
  double number = 0;
  if (NextPlainNumber(number)) return FieldValue(number);
  if (!StartField()) return std::nullopt;
  fieldLine_ = startLine_;
  if (stage_ == Stage::kEmptyAtEnd) {
    stage_ = Stage::kEnd;
    return FieldValue(std::string());
  }
  stage_ = Stage::kBetween;
  return data_[pos_] == '"' ? QuotedField() : BareField();
}

std::string_view FieldReader::ToSeparator() {
  for (;;) {
    if (pos_ == size_ && !More()) break;
    const char c = data_[pos_];
    if (c == ',' || IsLineEnd(c)) break;
    if (c == '\0') Fail(line_, kNulByte);
    ++pos_;
    if (pos_ - fieldStart_ > kMaxFieldLength) Fail(fieldLine_, TooLong());
  }
  std::string_view field(data_ + fieldStart_, pos_ - fieldStart_);
  while (!field.empty() && IsBlank(field.back())) field.remove_suffix(1);
  return field;
}

FieldValue FieldReader::BareField() {
  const std::string_view field = ToSeparator();
  if (const auto number = ParseNumber(field)) return FieldValue(*number);
  return FieldValue(std::string(field));
}

bool FieldReader::QuoteAhead() {
  // Exactly kQuoteLookAhead bytes are looked at, however many are already in memory, so a file
  // read whole and the same bytes from a pipe get the same answer.
  std::size_t left = kQuoteLookAhead;
  for (;;) {
    fieldStart_ = pos_;  // the field is given up: nothing before pos_ is needed
    const std::size_t span = std::min(left, size_ - pos_);
    if (std::memchr(data_ + pos_, '"', span) != nullptr) return true;
    left -= span;
    pos_ += span;
    if (left == 0 || !More()) return false;
  }
}

FieldValue FieldReader::QuotedField() {
  // Offsets from the opening quote, which stay right when More moves the buffer.
  ++pos_;
  std::size_t closing = 0;
  bool doubled = false;
  for (;;) {
    if (pos_ == size_ && !More()) Fail(fieldLine_, kNotClosed);
    // The length counts what lies between the quotes.
    if (pos_ - fieldStart_ - 1 > kMaxFieldLength) {
      Fail(fieldLine_, QuoteAhead() ? TooLong() : kNotClosed);
    }
    const char c = data_[pos_];
    if (c == '"') {
      if (pos_ + 1 == size_) More();
      if (pos_ + 1 < size_ && data_[pos_ + 1] == '"') {
        doubled = true;
        pos_ += 2;
        continue;
      }
      closing = pos_ - fieldStart_;
      ++pos_;
      break;
    }
    if (c == '\0') Fail(line_, kNulByte);
    if (IsLineEnd(c)) {
      SkipLineEnd();
    } else {
      ++pos_;
    }
  }

  // Stray text after the closing quote makes the whole field, quotes and all, a text as it
  // stands: never a number nor "NA", so its entry is left out of the coastlines, and the fields
  // after it stay in step.
  while ((pos_ < size_ || More()) && IsBlank(data_[pos_])) ++pos_;
  if (pos_ < size_ && data_[pos_] != ',' && !IsLineEnd(data_[pos_])) {
    return FieldValue(std::string(ToSeparator()));
  }

  const std::string_view inside(data_ + fieldStart_ + 1, closing - 1);
  if (!doubled) return FieldValue(std::string(inside));
  // Every quote inside is the first of a doubled pair, which stands for one.
  std::string text;
  text.reserve(inside.size());
  for (std::size_t k = 0; k < inside.size(); ++k) {
    text += inside[k];
    if (inside[k] == '"') ++k;
  }
  return FieldValue(std::move(text));
}

std::string FormatNumber(double number) {
  // Not numbers in this format at all; written so they read back as texts, never as "-nan".
  if (std::isnan(number)) return "nan";
  char buffer[64];
  // The shortest form that reads back to the same double, in the C locale's notation.
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
  return std::string(buffer, result.ptr);
}

std::string FormatRecord(const std::vector<FieldValue>& values) {
  std::string record;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) record += ',';
    const FieldValue& value = values[i];
    if (value.IsNumber()) {
      record += FormatNumber(value.Number());
      continue;
    }
    record += '"';
    for (const char c : value.Text()) {
      if (c == '"') record += '"';
      record += c;
    }
    record += '"';
  }
  record += "\r\n";
  return record;
}

}  // namespace globeview
