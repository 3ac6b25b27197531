#include "system/application.h"
#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QProcess>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "test_support.h"

namespace globeview {
namespace {

using test::ScratchDir;

struct Ended {
  int status;
};

TEST(ApplicationTest, FindsTheDirectoryOfTheExecutable) {
  EXPECT_EQ(std::filesystem::canonical(ApplicationDirectory()),
            std::filesystem::canonical(GLOBEVIEW_BIN_DIR));
  EXPECT_NE(ApplicationDirectory().back(), '/');
}

TEST(ApplicationTest, JoinsPaths) {
  const struct {
    const char* directory;
    const char* name;
    const char* path;
  } cases[] = {
      {"/opt/globeview", "data2.dat", "/opt/globeview/data2.dat"},
      {"/opt/globeview/", "data2.dat", "/opt/globeview/data2.dat"},
      {"/", "data2.dat", "/data2.dat"},
      {"", "data2.dat", "data2.dat"},
  };
  for (const auto& c : cases) EXPECT_EQ(JoinPath(c.directory, c.name), c.path);
}

// Another copy of this program: the test executable started again, which acts before any test
// runs, as GLOBEVIEW_PROBE_MODE says:
// "ask": exits 1 when it sees a copy running, else 0;
// "hold": takes the lock, says whether it got it, and ends without releasing it, as a crash would,
//   when its input closes;
// "end": takes the lock, prints without a line end and ends with status 7;
// "end-action": ends with status 4 through an end action that returns.
[[maybe_unused]] const int kProbe = [] {
  const char* mode = std::getenv("GLOBEVIEW_PROBE_MODE");
  if (mode == nullptr) return 0;
  const std::string how = mode;
  const std::string lock = std::getenv("GLOBEVIEW_PROBE_LOCK");
  const bool running = lock.empty() ? PreviousInstanceRunning() : PreviousInstanceRunning(lock);
  if (how == "hold") {
    (void)!write(STDOUT_FILENO, running ? "n" : "y", 1);
    char c;
    while (read(STDIN_FILENO, &c, 1) > 0) {
    }
    _exit(0);
  }
  if (how == "end") {
    std::printf("saved");  // still in the buffer when the program ends
    EndProgram(7);
    std::printf(" and more");
  }
  if (how == "end-action") {
    int seen = -1;
    SetEndAction([&](int status) { seen = status; });
    EndProgram(seen + 5);
  }
  _exit(running ? 1 : 0);
}();

class Copy {
 public:
  Copy(const char* mode, const std::string& lock, const std::string& tmpdir = {}) {
    auto environment = QProcessEnvironment::systemEnvironment();
    if (!tmpdir.empty()) environment.insert("TMPDIR", QString::fromStdString(tmpdir));
    environment.insert("GLOBEVIEW_PROBE_MODE", mode);
    environment.insert("GLOBEVIEW_PROBE_LOCK", QString::fromStdString(lock));
    process_.setProcessEnvironment(environment);
    process_.start(QCoreApplication::applicationFilePath(), {});
  }
  QProcess& process() { return process_; }
  // Waits for the copy to end and returns its exit status.
  int Finish() {
    EXPECT_TRUE(process_.waitForFinished());
    EXPECT_EQ(process_.exitStatus(), QProcess::NormalExit);
    return process_.exitCode();
  }

 private:
  QProcess process_;
};

// Whether a copy started now would see another one running.
bool SecondCopySees(const std::string& lock, const std::string& tmpdir = {}) {
  return Copy("ask", lock, tmpdir).Finish() == 1;
}

TEST(ApplicationTest, SeesASecondCopyWhileTheFirstRuns) {
  ScratchDir dir;
  const std::string lock = dir.Path("copy.lock");
  EXPECT_FALSE(SecondCopySees(lock));
  EXPECT_FALSE(PreviousInstanceRunning(lock));
  EXPECT_FALSE(PreviousInstanceRunning(lock)) << "a copy must not see itself";
  EXPECT_TRUE(SecondCopySees(lock));
}

TEST(ApplicationTest, TakesOverTheLockOfACopyThatEnded) {
  ScratchDir dir;
  const std::string lock = dir.Path("copy.lock");
  Copy first("hold", lock);
  ASSERT_TRUE(first.process().waitForReadyRead());
  EXPECT_EQ(first.process().readAll(), "y");

  EXPECT_TRUE(PreviousInstanceRunning(lock));
  // Old enough that an age limit would already call the lock stale.
  std::filesystem::last_write_time(
      lock, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
  EXPECT_TRUE(PreviousInstanceRunning(lock)) << "a running copy's old lock is not stale";

  first.process().closeWriteChannel();
  ASSERT_TRUE(first.process().waitForFinished());
  ASSERT_TRUE(std::filesystem::exists(lock)) << "the first copy should have left its lock behind";
  EXPECT_FALSE(PreviousInstanceRunning(lock)) << "the lock of a copy that is gone is stale";
  EXPECT_TRUE(SecondCopySees(lock));
}

TEST(ApplicationTest, TheProgramsOwnLockIsTakenOnce) {
  EXPECT_FALSE(PreviousInstanceRunning());
  EXPECT_TRUE(SecondCopySees(""));
  // Whatever folder for temporary files a second copy is told of, it finds the first.
  ScratchDir elsewhere;
  EXPECT_TRUE(SecondCopySees("", elsewhere.Root()));
}

TEST(ApplicationTest, EndingRunsNothingAfterwardsKeepsWhatWasPrintedAndReleasesTheLock) {
  ScratchDir dir;
  const std::string lock = dir.Path("copy.lock");
  Copy copy("end", lock);
  EXPECT_EQ(copy.Finish(), 7);
  EXPECT_EQ(copy.process().readAllStandardOutput(), "saved");
  EXPECT_FALSE(std::filesystem::exists(lock));
}

TEST(ApplicationTest, AnEndActionRunsFirstAndCannotKeepTheProgramAlive) {
  SetEndAction([](int status) { throw Ended{status}; });
  try {
    EndProgram(3);
    ADD_FAILURE() << "the action did not run";
  } catch (const Ended& ended) {
    EXPECT_EQ(ended.status, 3);
  }
  SetEndAction(nullptr);

  ScratchDir dir;
  EXPECT_EQ(Copy("end-action", dir.Path("copy.lock")).Finish(), 4);
}

}  // namespace
}  // namespace globeview
