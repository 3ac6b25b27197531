#include "system/error_report.h"

#include <gtest/gtest.h>

#include <string>

#include "system/files.h"
#include "test_support.h"

namespace globeview {
namespace {

TEST(ErrorReportTest, SaysWhereOnOneLine) {
  const std::pair<FileError, std::string> cases[] = {
      {FileError("open", "/maps/data.dat", "No such file or directory"),
       "cannot open data.dat in /maps: No such file or directory"},
      {FileError("", "/maps/data.dat", "holds only 1234 of the 61656 point pairs"),
       "data.dat in /maps holds only 1234 of the 61656 point pairs"},
      {FileError("", "/maps/data.dat", std::int64_t{1} << 32, "quoted field is not closed"),
       "data.dat in /maps: line 4294967296: quoted field is not closed"},
      // One report, one line, whatever a system reason carries.
      {FileError("write", "/maps/data2.dat", "first\r\nsecond\n"),
       "cannot write data2.dat in /maps: first  second "},
      // A name's control bytes, C1 controls and stray bytes shown, never sent to the terminal.
      {FileError("open", "/地図/\x1b[2J\xc2\x9b\xff.dat", "No such file or directory"),
       "cannot open \\x1b[2J\\xc2\\x9b\\xff.dat in /地図: No such file or directory"},
  };
  for (const auto& [error, line] : cases) {
    EXPECT_EQ(ErrorReportLine(error), line);
    const test::StderrCapture stderrText;
    PrintErrorLine(ErrorReportLine(error));
    EXPECT_EQ(stderrText.Text(), line + "\n");
  }
}

}  // namespace
}  // namespace globeview
