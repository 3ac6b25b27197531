#include "data/settings_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "system/files.h"
#include "test_support.h"
#include "view/view_values.h"

namespace globeview {
namespace {

using test::ReadBytes;
using test::ScratchDir;

const ViewValues kDefaultView{0.0, 0.0, 1.0};

void ExpectView(const ViewValues& actual, const ViewValues& expected) {
  EXPECT_EQ(actual.a1, expected.a1);
  EXPECT_EQ(actual.b1, expected.b1);
  EXPECT_EQ(actual.c1, expected.c1);
}

ViewValues ToView(const SettingsRead& read) {
  return ViewValues{read.a1, read.b1, read.c1};
}

void SaveSettings(const std::string& path, const ViewValues& view) {
  globeview::SaveSettings(path, view.a1, view.b1, view.c1);
}

// Reads `content` as a settings file, returning the view and its notice (with a line end).
// No content: no file at all.
std::pair<ViewValues, std::string> ReadContent(const std::optional<std::string>& content) {
  ScratchDir dir;
  const std::string path = content ? dir.Write(kSettingsFile, *content) : dir.Path(kSettingsFile);
  const SettingsRead read = ReadSettings(path);
  return {ToView(read), read.notice.empty() ? std::string() : read.notice + "\n"};
}

struct LayoutCase {
  const char* name;
  std::string content;
  ViewValues expected;
};

TEST(ReadSettingsTest, EveryLayoutOfTheFieldFormatReadsTheSame) {
  const ViewValues typed{"139.7", "35.7", "1"};
  const LayoutCase cases[] = {
      {"one line", "\"139.7\",\"35.7\",\"1\"\r\n", typed},
      {"three lines", "\"139.7\"\r\n\"35.7\"\r\n\"1\"\r\n", typed},
      {"two lines", "\"139.7\",\"35.7\"\r\n\"1\"\r\n", typed},
      {"bare line ends", "\"139.7\"\n\"35.7\"\n\"1\"\n", typed},
      {"no final line end", "\"139.7\",\"35.7\",\"1\"", typed},
      {"more fields after the third", "\"139.7\",\"35.7\",\"1\",\"junk\",7\r\n", typed},
      // A quoted number stays a text, a bare one becomes a number: both show the same in a field.
      {"bare numbers", "139.7,35.7,1\r\n", {139.7, 35.7, 1.0}},
      {"blanks around bare numbers", "  139.7 ,\t35.7,  1  \r\n", {139.7, 35.7, 1.0}},
      {"as saved after normalising", "40,\"35.7\",10\r\n", {40.0, "35.7", 10.0}},
      {"negative and exponent", "-30,-4.5e1,1E0\r\n", {-30.0, -45.0, 1.0}},
      {"texts that are not numbers", "\"abc\",\"\",\" 1 \"\r\n", {"abc", "", " 1 "}},
      {"bare text", "east,35.7,1\r\n", {"east", 35.7, 1.0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto [view, notice] = ReadContent(c.content);
    ExpectView(view, c.expected);
    EXPECT_EQ(notice, "");
  }
}

// A settings file that cannot give three values no longer stops the program: the view starts at
// 0, 0, 1 and a single line on stderr names the file and what was wrong.
TEST(ReadSettingsTest, UnusableFileStartsFromTheDefaultViewWithANotice) {
  struct Case {
    const char* name;
    std::optional<std::string> content;
    const char* problem;  // words the notice must hold
  };
  const Case cases[] = {
      {"missing", std::nullopt, "No such file"},
      {"empty", "", "0 of the 3"},
      {"one field", "\"139.7\"\r\n", "1 of the 3"},
      {"two fields", "\"139.7\",\"35.7\"\r\n", "2 of the 3"},
      {"unclosed quote", "\"139.7\",\"35.7,1\r\n", "line"},
      {"NUL byte", std::string("139.7,35", 8) + '\0' + std::string(".7,1\r\n"), "line"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto [view, notice] = ReadContent(c.content);
    ExpectView(view, kDefaultView);
    EXPECT_TRUE(view.a1.IsNumber() && view.b1.IsNumber() && view.c1.IsNumber());
    EXPECT_NE(notice.find(kSettingsFile), std::string::npos) << notice;
    EXPECT_NE(notice.find(c.problem), std::string::npos) << notice;
    ASSERT_FALSE(notice.empty());
    EXPECT_EQ(notice.find('\n'), notice.size() - 1) << "one line: " << notice;
  }
}

// The three values are all that is read of the file, however large it is.
TEST(ReadSettingsTest, ReadsOnlyTheStartOfAHugeFile) {
  ScratchDir dir;
  const std::string path = dir.Write(kSettingsFile, "\"139.7\",\"35.7\",\"1\"\r\n");
  std::filesystem::resize_file(path, std::uintmax_t{64} << 20);  // sparse: costs no disk
  std::int64_t before = 0;
  std::int64_t after = 0;
  std::string key;
  std::ifstream(std::string("/proc/thread-self/io")) >> key >> before;
  const SettingsRead read = ReadSettings(path);
  std::ifstream(std::string("/proc/thread-self/io")) >> key >> after;
  ASSERT_EQ(key, "rchar:");
  ExpectView(ToView(read), ViewValues{"139.7", "35.7", "1"});
  EXPECT_LT(after - before, 1 << 20);
}

TEST(SaveSettingsTest, WritesOneRecordByteForByteOverTheEarlierFile) {
  ScratchDir dir;
  const std::string path =
      dir.Write(kSettingsFile, "\"1\",\"2\",\"3\",\"a much longer record\"\r\n");

  SaveSettings(path, ViewValues{"139.7", "35.7", "1"});
  EXPECT_EQ(ReadBytes(path), "\"139.7\",\"35.7\",\"1\"\r\n");

  ViewValues typed{"400", "35.7", "12"};
  ASSERT_TRUE(Normalise(typed));
  SaveSettings(path, typed);
  EXPECT_EQ(ReadBytes(path), "40,\"35.7\",10\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), {}), 1)
      << "no temporary file left beside it";
}

TEST(SaveSettingsTest, WhatIsSavedReadsBackUnchanged) {
  const ViewValues cases[] = {
      {"say \"hi\"", "\"", "\"\""}, {"1,5", ",", "a, \"b\", c"}, {"", " 35.7 ", "東経"},
      {0.1, -1e-300, 1e300},        {360.0, -90.0, 2.5},         {"NA", 0.0, "1"},
  };
  for (const auto& view : cases) {
    SCOPED_TRACE(view.a1.ToText() + " | " + view.b1.ToText() + " | " + view.c1.ToText());
    ScratchDir dir;
    const std::string path = dir.Path(kSettingsFile);
    SaveSettings(path, view);
    const SettingsRead read = ReadSettings(path);
    ExpectView(ToView(read), view);
    EXPECT_EQ(read.notice, "");
  }
}

TEST(SaveSettingsTest, FileThatCannotBeCreatedIsReportedWithItsPath) {
  ScratchDir dir;
  const std::string notADirectory = dir.Write("plain", "not a directory\r\n");
  const std::string path = notADirectory + "/" + kSettingsFile;
  try {
    SaveSettings(path, ViewValues{"139.7", "35.7", "1"});
    FAIL() << "saving into a regular file's path succeeded";
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), path);
    EXPECT_NE(std::string(error.what()).find(kSettingsFile), std::string::npos) << error.what();
    EXPECT_FALSE(error.reason().empty());
  }
  EXPECT_EQ(ReadBytes(notADirectory), "not a directory\r\n");
}

// A write that fails part-way (here: the process may not write files longer than a few bytes,
// which stops even root) must leave the previous settings exactly as they were.
TEST(SaveSettingsTest, WriteFailingPartWayLeavesThePreviousFileIntact) {
  ScratchDir dir;
  const std::string previous = "\"139.7\",\"35.7\",\"1\"\r\n";
  const std::string path = dir.Write(kSettingsFile, previous);
  const ViewValues longView{std::string(4096, 'x'), "35.7", "1"};

  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit tiny = saved;
  tiny.rlim_cur = 16;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
  bool threw = false;
  try {
    SaveSettings(path, longView);
  } catch (const FileError& error) {
    threw = true;
    EXPECT_EQ(error.path(), path);
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);

  EXPECT_TRUE(threw) << "a failed save was reported as success";
  EXPECT_EQ(ReadBytes(path), previous);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), {}), 1)
      << "no temporary file left beside it";
}

}  // namespace
}  // namespace globeview
