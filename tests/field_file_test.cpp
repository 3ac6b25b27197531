#include "data/field_file.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "system/files.h"
#include "system/numeric.h"
#include "test_support.h"

namespace globeview {
namespace {

struct Read {
  std::vector<FieldValue> values;
  std::vector<std::int64_t> lines;
};

Read ReadAll(FieldReader& reader) {
  Read read;
  while (auto value = reader.Next()) {
    read.values.push_back(*value);
    read.lines.push_back(reader.Line());
  }
  return read;
}

Read ReadAll(std::string_view content) {
  FieldReader reader(content, "t.dat");
  return ReadAll(reader);
}

// Runs `check` on a reader over `content` in memory, then over the same bytes in a file read three
// at a time (a few thousand for the long fields), so that fields and separators also arrive split
// between reads.
void OverMemoryAndInPieces(const std::string& content,
                           const std::function<void(FieldReader&)>& check) {
  {
    SCOPED_TRACE("in memory");
    FieldReader reader(content, "t.dat");
    check(reader);
  }
  SCOPED_TRACE("in pieces");
  test::ScratchDir dir;
  InputFile file(dir.Write("t.dat", content));
  FieldReader reader(file, content.size() < 4096 ? 3 : 4093);
  check(reader);
}

using V = std::vector<FieldValue>;
using std::string_literals::operator""s;

struct LayoutCase {
  const char* what;
  std::string content;
  V values;
  std::vector<std::int64_t> lines;
};

TEST(FieldReaderTest, ReadsFieldsWhateverTheLayout) {
  const LayoutCase cases[] = {
      {"a pair per line", "1,2\r\n3,4\r\n", {1.0, 2.0, 3.0, 4.0}, {1, 1, 2, 2}},
      {"a pair over two lines", "1\r\n2\r\n3,4\r\n", {1.0, 2.0, 3.0, 4.0}, {1, 2, 3, 3}},
      {"two pairs on one line", "1,2,3,4\r\n", {1.0, 2.0, 3.0, 4.0}, {1, 1, 1, 1}},
      {"bare LF", "1,2\n3,4\n", {1.0, 2.0, 3.0, 4.0}, {1, 1, 2, 2}},
      {"bare CR", "1,2\r3,4", {1.0, 2.0, 3.0, 4.0}, {1, 1, 2, 2}},
      {"no line end at the end", "1,2", {1.0, 2.0}, {1, 1}},
      {"empty content", "", {}, {}},
      {"blanks around numbers", "  1.5 ,\t-2 \r\n +3\t", {1.5, -2.0, 3.0}, {1, 1, 2}},
      {"exponents", "1e3,-2.5E-2,.5,5.", {1000.0, -0.025, 0.5, 5.0}, {1, 1, 1, 1}},
      {"quoted numbers stay texts", "\"12.5\",\" 3\"", {"12.5", " 3"}, {1, 1}},
      {"unquoted NA and na are texts", "NA,na,N A", {"NA", "na", "N A"}, {1, 1, 1}},
      {"quoted NA", "\"NA\",\"NA\"\r\n", {"NA", "NA"}, {1, 1}},
      {"commas and doubled quotes inside quotes",
       "\"a,b\",\"say \"\"hi\"\"\",\"\"\"\"",
       {"a,b", "say \"hi\"", "\""},
       {1, 1, 1}},
      {"blanks after a closing quote", "\"x\"  ,\"y\"\t\r\n7", {"x", "y", 7.0}, {1, 1, 2}},
      {"stray text after a closing quote",
       "\"2\"x ,\"1\" 5\r\n3",
       {"\"2\"x", "\"1\" 5", 3.0},
       {1, 1, 2}},
      {"blanks before an opening quote", "  \"x\",1", {"x", 1.0}, {1, 1}},
      {"line end inside quotes", "\"a\r\nb\",2\r\n3", {"a\r\nb", 2.0, 3.0}, {1, 2, 3}},
      {"empty field between commas", "1,,2", {1.0, "", 2.0}, {1, 1, 1}},
      {"empty field before a line end", "1,\r\n2", {1.0, "", 2.0}, {1, 1, 2}},
      {"empty field at the very end", "1,", {1.0, ""}, {1, 1}},
      {"empty quoted field", "\"\",1", {"", 1.0}, {1, 1}},
      {"empty lines hold no field",
       "1,2\r\n\r\n \t\r\n\n3,4\r\n\r\n",
       {1.0, 2.0, 3.0, 4.0},
       {1, 1, 5, 5}},
      {"stray text", "12abc,1 000,1,5", {"12abc", "1 000", 1.0, 5.0}, {1, 1, 1, 1}},
      {"a quote inside an unquoted field", "ab\"c,1", {"ab\"c", 1.0}, {1, 1}},
      {"8-bit text passes through",
       "\x93\x8c\x8b\x9e,\"\xe7\xb5\x8c\"",
       {"\x93\x8c\x8b\x9e", "\xe7\xb5\x8c"},
       {1, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    OverMemoryAndInPieces(c.content, [&](FieldReader& reader) {
      const Read read = ReadAll(reader);
      EXPECT_EQ(read.values, c.values);
      EXPECT_EQ(read.lines, c.lines);
    });
  }
}

// A field's number is always the numeric test's value of its text, however the reader gets it.
TEST(FieldReaderTest, ReadsNumbersAsTheNumericTestDoes) {
  std::mt19937 random(11);
  std::vector<std::string> texts = {"-0",
                                    "0",
                                    "5.",
                                    ".5",
                                    "-.5",
                                    "999999999999999",
                                    "9999999999999999",
                                    "0.000000000000001",
                                    "-179.99999999999999"};
  for (int i = 0; i < 20000; ++i) {
    std::string text = random() % 2 ? "-" : "";
    const int digits = 1 + static_cast<int>(random() % 18);
    const int point = static_cast<int>(random() % (digits + 2));
    for (int d = 0; d < digits; ++d) {
      if (d == point) text += '.';
      text += static_cast<char>('0' + random() % 10);
    }
    texts.push_back(text);
  }
  std::string content;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    content += texts[i] + (i % 3 == 0 ? "," : i % 3 == 1 ? " \r\n" : "\n");
  }
  const V values = ReadAll(content).values;
  ASSERT_EQ(values.size(), texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    SCOPED_TRACE(texts[i]);
    ASSERT_TRUE(values[i].IsNumber());
    EXPECT_EQ(std::bit_cast<std::uint64_t>(values[i].Number()),
              std::bit_cast<std::uint64_t>(*ParseNumber(texts[i])));
  }
}

struct BadCase {
  const char* what;
  std::string content;
  int goodFields;  // fields that read before the bad one
  std::int64_t line;
  std::string reason;
};

TEST(FieldReaderTest, NamesTheFileAndLineOfABadField) {
  const std::string tooLong = "field is longer than 1048576 bytes";
  const std::string notClosed = "quoted field is not closed";
  const std::string nul = "NUL byte: this is not a text file";
  const BadCase cases[] = {
      {"unclosed quote", "1,2\r\n3,\"abc\r\ndef", 3, 2, notClosed},
      {"unclosed quote at the very end", "1,\"", 1, 1, notClosed},
      {"NUL in a number", "1,2\r\n3,4\0\r\n"s, 3, 2, nul},
      {"NUL in quotes", "1\r\n\"a\r\nb\0\""s, 1, 3, nul},
      {"NUL after a quote", "\"a\"\0"s, 0, 1, nul},
      {"NUL at the start", "\0\0\0"s, 0, 1, nul},
      {"long unquoted field", "1\r\n2\r\n" + std::string((1 << 20) + 1, '7'), 2, 3, tooLong},
      {"long quoted field", "1,\"" + std::string((1 << 20) + 1, 'x') + "\"", 1, 1, tooLong},
      {"long unclosed quoted field", "1,\"" + std::string((1 << 20) + 1, 'x'), 1, 1, notClosed},
      // Closed, but farther from the limit than the limit again: the same in one read or many.
      {"quoted field of 2.2 MB", "1,\"" + std::string(2200000, 'x') + "\"", 1, 1, tooLong},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    OverMemoryAndInPieces(c.content, [&](FieldReader& reader) {
      for (int i = 0; i < c.goodFields; ++i) ASSERT_TRUE(reader.Next());
      try {
        reader.Next();
        ADD_FAILURE() << "no error";
      } catch (const FileError& e) {
        EXPECT_TRUE(e.path().ends_with("t.dat")) << e.path();
        EXPECT_EQ(e.line(), c.line);
        EXPECT_EQ(e.reason(), c.reason);
      }
    });
  }
}

TEST(FieldReaderTest, TakesFieldsOfExactlyTheLongestLength) {
  const std::string longest(FieldReader::kMaxFieldLength, 'x');
  for (const std::string& content : {longest, "\"" + longest + "\"", "1,\"" + longest + "\"\r\n"}) {
    FieldReader reader(content, "t.dat");
    std::size_t longestSeen = 0;
    while (auto value = reader.Next()) {
      if (value->IsText()) longestSeen = std::max(longestSeen, value->Text().size());
    }
    EXPECT_EQ(longestSeen, FieldReader::kMaxFieldLength);
  }
}

TEST(FieldWriterTest, WritesNumbersInTheirShortestForm) {
  const std::pair<double, const char*> cases[] = {
      {40, "40"},
      {0.5, "0.5"},
      {139.7, "139.7"},
      {-35.25, "-35.25"},
      {0.1 + 0.2, "0.30000000000000004"},
      {-0.0, "-0"},
      {1e300, "1e+300"},
      {5e-324, "5e-324"},
      {std::numeric_limits<double>::quiet_NaN(), "nan"},
      {-std::numeric_limits<double>::quiet_NaN(), "nan"},
  };
  for (const auto& [number, text] : cases) {
    EXPECT_EQ(FormatNumber(number), text);
  }
}

TEST(FieldWriterTest, WritesARecord) {
  EXPECT_EQ(FormatRecord({139.7, "NA", "a\"b", 1.0}), "139.7,\"NA\",\"a\"\"b\",1\r\n");
  EXPECT_EQ(FormatRecord({"139.7", "35.7", "1"}), "\"139.7\",\"35.7\",\"1\"\r\n");
  EXPECT_EQ(FormatRecord({}), "\r\n");
}

TEST(FieldWriterTest, ReadsBackEveryTextAndEveryNumberExactly) {
  const std::string texts[] = {"",
                               " lead",
                               "trail\t",
                               "a,b",
                               "\"",
                               "\"\"",
                               "NA",
                               "na",
                               "12",
                               "-0",
                               "line\r\nbreak",
                               "\n",
                               "\xe7\xb5\x8c\xe5\xba\xa6"};
  const double numbers[] = {0.1,
                            -0.0,
                            0.0,
                            1e-310,
                            std::numeric_limits<double>::max(),
                            std::numeric_limits<double>::lowest(),
                            std::numeric_limits<double>::min(),
                            1.0 / 3,
                            139.7};
  V values;
  for (const auto& text : texts) values.emplace_back(text);
  for (const double number : numbers) values.emplace_back(number);
  std::mt19937_64 bits(20240601);
  while (values.size() < 5000) {
    const double number = std::bit_cast<double>(bits());
    if (std::isfinite(number)) values.push_back(number);
  }

  std::string file;
  for (std::size_t i = 0; i < values.size(); i += 3) {
    const auto last = std::min(values.size(), i + 3);
    file += FormatRecord(V(values.begin() + i, values.begin() + last));
  }
  const V back = ReadAll(file).values;
  ASSERT_EQ(back.size(), values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    SCOPED_TRACE(i);
    ASSERT_EQ(back[i].IsNumber(), values[i].IsNumber());
    if (values[i].IsNumber()) {
      EXPECT_EQ(std::bit_cast<std::uint64_t>(back[i].Number()),
                std::bit_cast<std::uint64_t>(values[i].Number()));
    } else {
      EXPECT_EQ(back[i].Text(), values[i].Text());
    }
  }
}

}  // namespace
}  // namespace globeview
