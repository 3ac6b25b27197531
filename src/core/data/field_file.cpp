#include "data/field_file.h"

#include <charconv>
#include <cmath>
#include <cstdint>

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

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}

[[noreturn]] void Fail(const std::string& name, int line, const std::string& what) {
  throw FieldFileError(name + ": line " + std::to_string(line) + ": " + what);
}

std::string TooLong() {
  return "field is longer than " + std::to_string(FieldReader::kMaxFieldLength) + " bytes";
}

constexpr const char* kNulByte = "NUL byte: this is not a text file";

// Steps over one line end (CR LF, LF or a bare CR) at `pos`.
void SkipLineEnd(std::string_view content, std::size_t& pos, int& line) {
  if (content[pos] == '\r' && pos + 1 < content.size() && content[pos + 1] == '\n') ++pos;
  ++pos;
  ++line;
}

// The field at `pos` when it is the everyday "-179.8488": a sign, at most 15 digits around a
// point, and a separator (or the end) right after. Such digits form an integer a double holds
// exactly and at most 15 decimals divide it by an exact power of ten, so the one division rounds
// correctly and the value is the very one ParseNumber gives; reading it here, in the same pass that
// finds the separator, halves the work of a load. Anything else is left to the general path.
std::optional<double> PlainDecimal(std::string_view content, std::size_t& pos) {
  constexpr int kMostDigits = 15;
  constexpr double kPowersOfTen[kMostDigits + 1] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                    1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const std::size_t size = content.size();
  std::size_t i = pos;
  const bool negative = i < size && content[i] == '-';
  if (negative) ++i;
  std::uint64_t digits = 0;
  int count = 0;
  int decimals = 0;
  bool point = false;
  for (; i < size; ++i) {
    const char c = content[i];
    if (c >= '0' && c <= '9') {
      if (++count > kMostDigits) return std::nullopt;
      digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
      decimals += point ? 1 : 0;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (count == 0) return std::nullopt;
  if (i < size && content[i] != ',' && !IsLineEnd(content[i])) return std::nullopt;
  pos = i;
  const double magnitude = static_cast<double>(digits) / kPowersOfTen[decimals];
  return negative ? -magnitude : magnitude;
}

}  // namespace

FieldReader::FieldReader(std::string_view content, std::string name)
    : content_(content), name_(std::move(name)) {}

std::optional<FieldValue> FieldReader::Next() {
  if (atEnd_) return std::nullopt;
  const std::size_t size = content_.size();
  // Every field but the first is entered just past its separator; a comma promises a field even
  // when nothing follows it, a line end does not.
  const bool afterComma = pos_ > 0 && content_[pos_ - 1] == ',';

  for (;;) {
    while (pos_ < size && IsBlank(content_[pos_])) ++pos_;
    if (pos_ == size) {
      atEnd_ = true;
      if (!afterComma) return std::nullopt;
      fieldLine_ = line_;
      return FieldValue(std::string());
    }
    if (afterComma || !IsLineEnd(content_[pos_])) break;
    SkipLineEnd(content_, pos_, line_);
  }

  fieldLine_ = line_;
  const std::size_t start = pos_;
  std::optional<FieldValue> value;

  if (content_[pos_] == '"') {
    ++pos_;
    std::string text;
    std::size_t piece = pos_;
    for (;;) {
      if (pos_ == size) Fail(name_, fieldLine_, "quoted field is not closed");
      // The length counts what lies between the quotes.
      if (pos_ - start - 1 > kMaxFieldLength) {
        // With no quote anywhere ahead, the real fault is the missing closing quote.
        const bool closable = content_.find('"', pos_) != std::string_view::npos;
        Fail(name_, fieldLine_, closable ? TooLong() : "quoted field is not closed");
      }
      const char c = content_[pos_];
      if (c == '"') {
        if (pos_ + 1 < size && content_[pos_ + 1] == '"') {
          // A doubled quote stands for one: keep the first, drop the second.
          text.append(content_.substr(piece, pos_ + 1 - piece));
          pos_ += 2;
          piece = pos_;
          continue;
        }
        text.append(content_.substr(piece, pos_ - piece));
        ++pos_;
        break;
      }
      if (c == '\0') Fail(name_, line_, kNulByte);
      if (IsLineEnd(c)) {
        SkipLineEnd(content_, pos_, line_);
      } else {
        ++pos_;
      }
    }
    // Stray text after the closing quote makes the whole field, quotes and all, a text as it
    // stands: never a number nor "NA", so its entry is left out of the coastlines, and the fields
    // after it stay in step.
    while (pos_ < size && IsBlank(content_[pos_])) ++pos_;
    if (pos_ < size && content_[pos_] != ',' && !IsLineEnd(content_[pos_])) {
      while (pos_ < size && content_[pos_] != ',' && !IsLineEnd(content_[pos_])) {
        if (content_[pos_] == '\0') Fail(name_, line_, kNulByte);
        ++pos_;
        if (pos_ - start > kMaxFieldLength) Fail(name_, fieldLine_, TooLong());
      }
      std::string_view raw = content_.substr(start, pos_ - start);
      while (!raw.empty() && IsBlank(raw.back())) raw.remove_suffix(1);
      text = std::string(raw);
    }
    value.emplace(std::move(text));
  } else if (const auto number = PlainDecimal(content_, pos_)) {
    value.emplace(*number);
  } else {
    while (pos_ < size) {
      const char c = content_[pos_];
      if (c == ',' || IsLineEnd(c)) break;
      if (c == '\0') Fail(name_, line_, kNulByte);
      ++pos_;
      if (pos_ - start > kMaxFieldLength) Fail(name_, fieldLine_, TooLong());
    }
    std::string_view field = content_.substr(start, pos_ - start);
    while (!field.empty() && IsBlank(field.back())) field.remove_suffix(1);
    if (const auto number = ParseNumber(field)) {
      value.emplace(*number);
    } else {
      value.emplace(std::string(field));
    }
  }

  if (pos_ < size) {
    if (content_[pos_] == ',') {
      ++pos_;
    } else {
      SkipLineEnd(content_, pos_, line_);
    }
  }
  return value;
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
