#include "system/error_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/application.h"

namespace globeview {
namespace {

struct Ended {
  int status;
};

class ErrorReportTest : public testing::Test {
 protected:
  void SetUp() override {
    SetEndAction([](int status) { throw Ended{status}; });
    SetErrorPresenter([this](const std::string& message) { shown.push_back(message); });
  }
  void TearDown() override {
    SetEndAction(nullptr);
    SetErrorPresenter(nullptr);
  }

  // The report's stderr text and exit status.
  std::pair<std::string, int> Report(const FileError& error) {
    testing::internal::CaptureStderr();
    int status = 0;
    try {
      ReportRuntimeError(error);
    } catch (const Ended& ended) {
      status = ended.status;
    }
    return {testing::internal::GetCapturedStderr(), status};
  }

  std::vector<std::string> shown;
};

TEST_F(ErrorReportTest, WritesOneLineShowsItAndEndsWithFailure) {
  const std::pair<FileError, std::string> cases[] = {
      {FileError("open", "/maps/data.dat", "No such file or directory"),
       "cannot open data.dat in /maps: No such file or directory"},
      {FileError("", "/maps/data.dat", "holds only 1234 of the 61656 point pairs"),
       "data.dat in /maps holds only 1234 of the 61656 point pairs"},
      {FileError("", "/maps/data.dat", std::int64_t{1} << 32, "quoted field is not closed"),
       "data.dat in /maps: line 4294967296: quoted field is not closed"},
  };
  for (const auto& [error, line] : cases) {
    shown.clear();
    const auto [stderrText, status] = Report(error);
    EXPECT_EQ(stderrText, line + "\n");
    EXPECT_EQ(shown, std::vector<std::string>{line});
    EXPECT_EQ(status, 1);
  }
}

TEST_F(ErrorReportTest, WithoutAPresenterWritesOnlyOneLineOnStderr) {
  SetErrorPresenter(nullptr);
  const auto [stderrText, status] =
      Report(FileError("write", "/maps/data2.dat", "first\r\nsecond\n"));
  EXPECT_EQ(stderrText, "cannot write data2.dat in /maps: first  second \n")
      << "one report, one line";
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(status, 1);
}

}  // namespace
}  // namespace globeview
