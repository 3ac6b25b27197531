#pragma once

// What the fuzz programs share: the input taken apart into values, a scratch folder for files, and
// a plain reference reader of the field file format.

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/field_value.h"
#include "system/numeric.h"

namespace globeview::fuzz {

// Stops the run with a message: libFuzzer keeps the input that did it.
[[noreturn]] inline void Fail(const std::string& what) {
  std::fprintf(stderr, "property broken: %s\n", what.c_str());
  std::abort();
}

inline void Check(bool holds, const std::string& what) {
  if (!holds) Fail(what);
}

// The input read from the front as values; zeros once it runs out.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  template <class T>
  T Take() {
    T value{};
    const std::size_t n = std::min(sizeof(T), size_ - pos_);
    std::memcpy(&value, data_ + pos_, n);
    pos_ += n;
    return value;
  }
  // A number in [lo, hi] from the next two bytes.
  double Between(double lo, double hi) { return lo + (hi - lo) * Take<std::uint16_t>() / 65535.0; }
  std::string_view Rest() const {
    return {reinterpret_cast<const char*>(data_ + pos_), size_ - pos_};
  }
  bool Empty() const { return pos_ >= size_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// A folder of the program's own for files, made once and left for the system's /tmp cleaning.
inline std::string ScratchFile(const char* name) {
  static const std::string folder = [] {
    char pattern[] = "/tmp/globeview-fuzz.XXXXXX";
    if (::mkdtemp(pattern) == nullptr) Fail("no scratch folder");
    return std::string(pattern);
  }();
  return folder + "/" + name;
}

inline void WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// The field file format read the plain way, byte by byte, by its rules alone: fields separated by
// commas and line ends (CR LF, LF, CR); lines holding only blanks skipped; a quoted field with
// doubled quotes inside, blanks after it dropped, other text after it making the whole field its
// raw text; a bare field trimmed of blanks and a number when it passes the numeric test; a comma
// before the end promises an empty field. Fields are short here: no length limit.
struct ReferenceField {
  FieldValue value;
  std::int64_t line;
};

struct ReferenceRead {
  std::vector<ReferenceField> fields;
  std::string error;  // the reason reading stopped, empty at the end
  std::int64_t errorLine = 0;
};

inline ReferenceRead ReadReference(std::string_view s) {
  ReferenceRead out;
  std::size_t i = 0;
  std::int64_t line = 1;
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  const auto lineEnd = [](char c) { return c == '\r' || c == '\n'; };
  const auto skipLineEnd = [&] {
    if (s[i++] == '\r' && i < s.size() && s[i] == '\n') ++i;
    ++line;
  };
  const auto fail = [&](const char* why, std::int64_t at) {
    out.error = why;
    out.errorLine = at;
    return out;
  };
  constexpr const char* kNul = "NUL byte: this is not a text file";
  bool afterComma = false;
  for (bool first = true;; first = false) {
    if (!first) {  // at the separator of the previous field
      if (i == s.size()) return out;
      afterComma = s[i] == ',';
      if (afterComma) {
        ++i;
      } else {
        skipLineEnd();
      }
    }
    for (;;) {
      while (i < s.size() && blank(s[i])) ++i;
      if (afterComma || i == s.size() || !lineEnd(s[i])) break;
      skipLineEnd();
    }
    if (i == s.size()) {
      if (afterComma) out.fields.push_back({FieldValue(std::string()), line});
      return out;
    }
    const std::size_t start = i;
    const std::int64_t fieldLine = line;
    const auto rawToSeparator = [&]() -> std::optional<std::string> {
      while (i < s.size() && s[i] != ',' && !lineEnd(s[i])) {
        if (s[i] == '\0') return std::nullopt;
        ++i;
      }
      std::string_view raw = s.substr(start, i - start);
      while (!raw.empty() && blank(raw.back())) raw.remove_suffix(1);
      return std::string(raw);
    };
    if (s[i] != '"') {
      const auto raw = rawToSeparator();
      if (!raw) return fail(kNul, line);
      const auto number = ParseNumber(*raw);
      out.fields.push_back({number ? FieldValue(*number) : FieldValue(*raw), fieldLine});
      continue;
    }
    std::string text;
    for (++i;; ++i) {
      if (i == s.size()) return fail("quoted field is not closed", fieldLine);
      if (s[i] == '\0') return fail(kNul, line);
      if (s[i] == '"') {
        if (i + 1 < s.size() && s[i + 1] == '"') {
          text += s[i++];
          continue;
        }
        ++i;
        break;
      }
      if (lineEnd(s[i])) {
        const std::size_t before = i;
        skipLineEnd();
        text.append(s.substr(before, i - before));
        --i;
        continue;
      }
      text += s[i];
    }
    while (i < s.size() && blank(s[i])) ++i;
    if (i < s.size() && s[i] != ',' && !lineEnd(s[i])) {
      const auto raw = rawToSeparator();
      if (!raw) return fail(kNul, line);
      text = *raw;
    }
    out.fields.push_back({FieldValue(text), fieldLine});
  }
}

// Equal values: texts byte for byte, numbers bit for bit.
inline bool Same(const FieldValue& a, const FieldValue& b) {
  if (a.IsNumber() != b.IsNumber()) return false;
  if (a.IsText()) return a.Text() == b.Text();
  return std::bit_cast<std::uint64_t>(a.Number()) == std::bit_cast<std::uint64_t>(b.Number());
}

}  // namespace globeview::fuzz
