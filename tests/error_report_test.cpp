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
  std::pair<std::string, int> Report(const std::string& operation, const std::string& file,
                                     const std::string& reason) {
    testing::internal::CaptureStderr();
    int status = 0;
    try {
      ReportRuntimeError(operation, file, reason);
    } catch (const Ended& ended) {
      status = ended.status;
    }
    return {testing::internal::GetCapturedStderr(), status};
  }

  std::vector<std::string> shown;
};

TEST_F(ErrorReportTest, WritesOneLineShowsItAndEndsWithFailure) {
  const auto [stderrText, status] =
      Report("read", "/maps/data.dat", "holds only 1234 of the 61656 point pairs");
  const std::string line =
      "cannot read data.dat in /maps: holds only 1234 of the 61656 point pairs";
  EXPECT_EQ(stderrText, line + "\n");
  EXPECT_EQ(shown, std::vector<std::string>{line});
  EXPECT_EQ(status, 1);
}

TEST_F(ErrorReportTest, WithoutAPresenterWritesOnlyOneLineOnStderr) {
  SetErrorPresenter(nullptr);
  const auto [stderrText, status] = Report("write", "/maps/data2.dat", "first\r\nsecond\n");
  EXPECT_EQ(stderrText, "cannot write data2.dat in /maps: first  second \n")
      << "one report, one line";
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(status, 1);
}

}  // namespace
}  // namespace globeview
