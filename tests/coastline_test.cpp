#include "data/coastline.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <string>
#include <thread>

#include "data/field_file.h"
#include "system/files.h"
#include "test_support.h"

namespace globeview {
namespace {

using test::ScratchDir;

// Entry i's coordinates in the generated files: every one distinct and exactly written.
double Lon(int i) {
  return -180 + i * 0.005;
}
double Lat(int i) {
  return -80 + (i % 3200) * 0.05;
}

// `pairs` pairs, each written by `write` (which gets the entry number and its two field texts).
std::string Pairs(int pairs,
                  const std::function<std::string(int, std::string, std::string)>& write) {
  std::string content;
  for (int i = 1; i <= pairs; ++i) content += write(i, FormatNumber(Lon(i)), FormatNumber(Lat(i)));
  return content;
}

std::string OnePerLine(int i, const std::string& lon, const std::string& lat) {
  (void)i;
  return lon + "," + lat + "\r\n";
}

void ExpectGeneratedPoints(const PointTable& table) {
  for (int i = 1; i <= kPointCount; ++i) {
    ASSERT_EQ(table.SrcLon(i).AsNumber(), Lon(i)) << "entry " << i;
    ASSERT_EQ(table.SrcLat(i).AsNumber(), Lat(i)) << "entry " << i;
    ASSERT_TRUE(table.IsValid(i) && table.IsUsable(i)) << "entry " << i;
    ASSERT_EQ(table.LonDeg()[i], Lon(i));
    ASSERT_EQ(table.LatDeg()[i], Lat(i));
  }
}

TEST(CoastlineTest, LoadsTheSamePointsWhateverTheLayout) {
  const std::pair<const char*, std::function<std::string(int, std::string, std::string)>>
      layouts[] = {
          {"a pair per line", OnePerLine},
          {"a pair over two lines",
           [](int, auto lon, auto lat) { return lon + "\r\n" + lat + "\r\n"; }},
          {"two pairs on a line",
           [](int i, auto lon, auto lat) { return lon + "," + lat + (i % 2 ? "," : "\r\n"); }},
          {"bare LF and blanks",
           [](int, auto lon, auto lat) { return " " + lon + " ,\t" + lat + "\n"; }},
          {"quoted numbers",
           [](int, auto lon, auto lat) { return "\"" + lon + "\",\"" + lat + "\"\r\n"; }},
      };
  for (const auto& [what, layout] : layouts) {
    SCOPED_TRACE(what);
    ScratchDir dir;
    PointTable table;
    const LoadReport report =
        LoadCoastline(dir.Write("data.dat", Pairs(kPointCount, layout)), table);
    EXPECT_EQ(report.unusableCount, 0);
    ExpectGeneratedPoints(table);
  }
}

TEST(CoastlineTest, NeverReadsPastTheLastPair) {
  const std::string afterwards[] = {
      "1,2\r\n3,4\r\n",
      "garbage that is no number\r\n",
      "\"a quoted field that is never closed",
      std::string("5,6\r\n\0\0\0", 8),
      std::string(FieldReader::kMaxFieldLength + 10, '9'),
  };
  for (const auto& tail : afterwards) {
    ScratchDir dir;
    PointTable table;
    EXPECT_NO_THROW(
        LoadCoastline(dir.Write("data.dat", Pairs(kPointCount, OnePerLine) + tail), table));
    ExpectGeneratedPoints(table);
  }
}

TEST(CoastlineTest, RefusesAFileWithTooFewPairs) {
  const std::pair<std::string, const char*> cases[] = {
      {"", "holds only 0 of the 61656 point pairs"},
      {Pairs(1234, OnePerLine), "holds only 1234 of the 61656 point pairs"},
      {Pairs(1234, OnePerLine) + "7\r\n", "holds only 1234 of the 61656 point pairs"},
      {Pairs(kPointCount - 1, OnePerLine), "holds only 61655 of the 61656 point pairs"},
      {Pairs(kPointCount - 1, OnePerLine) + "NA", "holds only 61655 of the 61656 point pairs"},
  };
  for (const auto& [content, message] : cases) {
    ScratchDir dir;
    PointTable table;
    try {
      LoadCoastline(dir.Write("data.dat", content), table);
      ADD_FAILURE() << "loaded " << message;
    } catch (const FileError& e) {
      EXPECT_EQ(e.what(), "data.dat in " + dir.Root() + " " + message);
    }
  }
}

TEST(CoastlineTest, NamesTheLineOfAnUnreadablePair) {
  std::string content = Pairs(99, OnePerLine) + "1,\"2\r\n" + Pairs(kPointCount, OnePerLine);
  ScratchDir dir;
  PointTable table;
  try {
    LoadCoastline(dir.Write("data.dat", content), table);
    ADD_FAILURE() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.what(), "data.dat in " + dir.Root() + ": line 100: quoted field is not closed");
  }
}

TEST(CoastlineTest, SaysWhereTheMissingFileWasLookedFor) {
  ScratchDir dir;
  PointTable table;
  try {
    LoadCoastline(dir.Path("data.dat"), table);
    ADD_FAILURE() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.what(), "cannot open data.dat in " + dir.Root() + ": No such file or directory");
  }

  // A name relative to the current directory is reported with the absolute directory.
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.Root());
  try {
    LoadCoastline(kCoastlineFile, table);
    ADD_FAILURE() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.what(), "cannot open data.dat in " + std::filesystem::current_path().string() +
                            ": No such file or directory");
  }
  std::filesystem::current_path(previous);
}

// Bytes this thread has read from files, pipes and devices so far.
std::int64_t BytesReadByThisThread() {
  std::string key;
  std::int64_t value = 0;
  std::ifstream io("/proc/thread-self/io");
  while (io >> key >> value && key != "rchar:") {
  }
  return value;
}

// The writer sends a whole coastline and keeps the pipe open: the load must end on what has
// arrived. The writer stops waiting after a generous time, so that a loader that waits for the end
// of the pipe fails the test instead of hanging it.
TEST(CoastlineTest, StopsReadingAPipeAtTheLastPair) {
  ScratchDir dir;
  const std::string path = dir.Path("data.dat");
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  std::promise<void> loaded;
  bool closedFirst = false;
  std::thread writer([&, ended = loaded.get_future()] {
    std::ofstream pipe(path, std::ios::binary);
    pipe << Pairs(kPointCount, OnePerLine) << std::flush;
    closedFirst = ended.wait_for(std::chrono::seconds(20)) == std::future_status::timeout;
  });
  PointTable table;
  EXPECT_NO_THROW(LoadCoastline(path, table));
  loaded.set_value();
  writer.join();
  EXPECT_FALSE(closedFirst) << "the load waited for the end of the pipe";
  ExpectGeneratedPoints(table);
}

// A device of endless NUL bytes is refused at the first one, after one small read.
TEST(CoastlineTest, RefusesDevZeroAtOnce) {
  PointTable table;
  const std::int64_t before = BytesReadByThisThread();
  try {
    LoadCoastline("/dev/zero", table);
    ADD_FAILURE() << "loaded /dev/zero";
  } catch (const FileError& e) {
    EXPECT_EQ(e.line(), 1);
    EXPECT_EQ(e.reason(), "NUL byte: this is not a text file");
  }
  EXPECT_LT(BytesReadByThisThread() - before, 1 << 20);
}

struct EntryCase {
  const char* line;
  bool valid;
  bool usable;
};

TEST(CoastlineTest, DecidesValidityByTheExactTextNA) {
  const EntryCase entries[] = {
      {"NA,NA", false, false},          // a first entry of NA
      {"na,5", true, false},            // lower case is no marker, and no number
      {"NA,5", false, false},           // one-sided NA
      {"5,NA", false, false},           //
      {"NA,NA", false, false},          // two NA entries running
      {"\"NA\",\"NA\"", false, false},  // quoting does not matter
      {"  NA\t,1", false, false},       // an unquoted field loses its blanks
      {"\" NA\",1", true, false},       // a quoted one keeps them
      {",1", true, false},              // an empty field
      {"\"12.5\",\"-3\"", true, true},  // quoted numbers stand for numbers
      {"1e1,-2.5e-1", true, true},      //
      {"Na,nA", true, false},           //
      {"\"1\"5,2", true, false},        // a damaged quoted field is no number
      {"1e308,10", true, false},        // too large to turn into radians: no direction
      {"5,-6e307", true, false},        //
      {"5e307,10", true, true},         // still within reach
  };
  std::string content;
  for (const auto& entry : entries) content += std::string(entry.line) + "\r\n";
  const int given = static_cast<int>(std::size(entries));
  content += Pairs(kPointCount - given - 1, OnePerLine) + "NA,NA\r\n";  // a last entry of NA

  ScratchDir dir;
  PointTable table;
  const test::StderrCapture stderrText;
  const LoadReport report = LoadCoastline(dir.Write("data.dat", content), table);
  const std::string printed = stderrText.Text();

  for (int i = 1; i <= given; ++i) {
    SCOPED_TRACE(entries[i - 1].line);
    EXPECT_EQ(table.IsValid(i), entries[i - 1].valid);
    EXPECT_EQ(table.IsUsable(i), entries[i - 1].usable);
  }
  EXPECT_EQ(table.LonDeg()[10], 12.5);
  EXPECT_EQ(table.LatDeg()[10], -3);
  EXPECT_EQ(table.SrcLon(10), FieldValue("12.5"));
  EXPECT_FALSE(table.IsValid(kPointCount));
  EXPECT_TRUE(table.IsUsable(kPointCount - 1));

  EXPECT_EQ(report.unusableCount, 7);
  EXPECT_EQ(report.firstUnusableEntry, 2);
  EXPECT_EQ(report.firstUnusableLine, 2);
  EXPECT_NE(report.notice.find("7 point(s)"), std::string::npos) << report.notice;
  EXPECT_NE(report.notice.find("entry 2 on line 2"), std::string::npos) << report.notice;
  EXPECT_EQ(printed, "") << "the caller shows the notice";
}

TEST(CoastlineTest, NoticeNamesTheLineOfTheFieldAtFault) {
  ScratchDir dir;
  PointTable table;
  const std::string content = "1\r\n2\r\n179.8\r\nfoo\r\n" + Pairs(kPointCount, OnePerLine);
  const LoadReport report = LoadCoastline(dir.Write("data.dat", content), table);
  EXPECT_EQ(report.firstUnusableEntry, 2);
  EXPECT_EQ(report.firstUnusableLine, 4);
}

TEST(CoastlineTest, ShippedFileHoldsTheWorldsCoastlines) {
  if (!std::filesystem::exists(test::ShippedCoastlinePath())) GTEST_SKIP() << "no shipped data.dat";
  const PointTable& table = test::ShippedTable();
  int coastlines = 0;
  int usable = 0;
  int run = 0;
  for (int i = 1; i <= kPointCount + 1; ++i) {
    if (i <= kPointCount && table.IsValid(i)) {
      ++run;
      continue;
    }
    if (run >= 2) ++coastlines;
    run = 0;
  }
  for (int i = 1; i <= kPointCount; ++i) usable += table.IsUsable(i) ? 1 : 0;
  EXPECT_GE(coastlines, 1000);
  EXPECT_GE(usable, 55000);
}

}  // namespace
}  // namespace globeview
