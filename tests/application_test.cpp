#include "system/application.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QProcess>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include "platform/instance_lock.h"
#include "test_support.h"

namespace globeview {
namespace {

using test::ScratchDir;

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
// runs, as GLOBEVIEW_PROBE_MODE says, on the lock at GLOBEVIEW_PROBE_LOCK:
// "ask": takes the lock and exits 0 when it got it, 1 when another copy holds it, 2 when there is
//   no usable lock (saying why on stderr);
// "hold": takes the lock, says whether it got it, and ends without releasing it, as a crash would,
//   when its input closes;
// "end": prints without a line end and ends with status 7.
[[maybe_unused]] const int kProbe = [] {
  const char* mode = std::getenv("GLOBEVIEW_PROBE_MODE");
  if (mode == nullptr) return 0;
  const std::string how = mode;
  if (how == "end") {
    std::printf("saved");  // still in the buffer when the program ends
    EndProgram(7);
  }
  const InstanceLock lock(std::string(std::getenv("GLOBEVIEW_PROBE_LOCK")));
  if (how == "hold") {
    (void)!write(STDOUT_FILENO, lock.state() == InstanceLock::State::Held ? "y" : "n", 1);
    char c;
    while (read(STDIN_FILENO, &c, 1) > 0) {
    }
    _exit(0);
  }
  std::fprintf(stderr, "%s", lock.problem().c_str());
  _exit(static_cast<int>(lock.state()));
}();

class Copy {
 public:
  Copy(const char* mode, const std::string& lock) {
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("GLOBEVIEW_PROBE_MODE", mode);
    environment.insert("GLOBEVIEW_PROBE_LOCK", QString::fromStdString(lock));
    process_.setProcessEnvironment(environment);
    process_.start(QCoreApplication::applicationFilePath(), {});
  }
  ~Copy() {
    process_.kill();
    process_.waitForFinished();
  }
  QProcess& process() { return process_; }
  // Waits for the copy to end and returns its exit status; -1 when it has not ended in 10 s.
  int Finish() {
    if (!process_.waitForFinished(10000)) return -1;
    EXPECT_EQ(process_.exitStatus(), QProcess::NormalExit);
    return process_.exitCode();
  }

 private:
  QProcess process_;
};

// What a copy started now finds at `lock`.
InstanceLock::State SecondCopyFinds(const std::string& lock) {
  return static_cast<InstanceLock::State>(Copy("ask", lock).Finish());
}

using State = InstanceLock::State;

TEST(ApplicationTest, SeesASecondCopyWhileTheFirstRuns) {
  ScratchDir dir;
  const std::string lock = dir.Path("state/globeview/instance.lock");
  EXPECT_EQ(SecondCopyFinds(lock), State::Held);
  {
    const InstanceLock first(lock);
    EXPECT_EQ(first.state(), State::Held);
    EXPECT_FALSE(first.AnotherCopyRunning());
    EXPECT_EQ(SecondCopyFinds(lock), State::HeldElsewhere);
  }
  EXPECT_EQ(SecondCopyFinds(lock), State::Held) << "released when the first went";
  // The folders it made are this account's alone.
  EXPECT_EQ(std::filesystem::status(dir.Path("state")).permissions(),
            std::filesystem::perms::owner_all);
}

TEST(ApplicationTest, TakesOverTheLockOfACopyThatEnded) {
  ScratchDir dir;
  const std::string lock = dir.Path("copy.lock");
  Copy first("hold", lock);
  ASSERT_TRUE(first.process().waitForReadyRead());
  EXPECT_EQ(first.process().readAll(), "y");
  EXPECT_TRUE(InstanceLock(lock).AnotherCopyRunning());

  first.process().closeWriteChannel();
  ASSERT_TRUE(first.process().waitForFinished());
  ASSERT_TRUE(std::filesystem::exists(lock)) << "the first copy should have left its lock behind";
  EXPECT_EQ(InstanceLock(lock).state(), State::Held) << "the lock of a copy that is gone is free";
}

// Whatever another account (or a mistake) put at the lock's place, the program never blocks, never
// ends because of it, and runs without the single-copy check.
TEST(ApplicationTest, ALockPlaceThatIsNotThisAccountsOwnIsNotUsed) {
  ScratchDir dir;
  const std::string target = dir.Write("target", "keep");
  const bool root = geteuid() == 0;
  const struct {
    const char* name;
    std::function<void(const std::string& path)> make;
    bool rootOnly = false;
    const char* below = "instance.lock";  // the lock's place in the case's folder
  } cases[] = {
      {"a pipe", [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0666), 0); }},
      {"a link", [&](const std::string& path) { std::filesystem::create_symlink(target, path); }},
      {"a link to nowhere",
       [&](const std::string& path) { std::filesystem::create_symlink(path + ".none", path); }},
      {"a folder", [](const std::string& path) { std::filesystem::create_directory(path); }},
      {"another account's file",
       [](const std::string& path) {
         std::ofstream(path) << "";
         ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
       },
       true},
      {"a folder others can write",
       [](const std::string& path) {
         std::filesystem::permissions(std::filesystem::path(path).parent_path(),
                                      std::filesystem::perms::all);
       }},
      {"a file where its folder goes",
       [](const std::string& path) {
         const std::filesystem::path folder = std::filesystem::path(path).parent_path();
         std::filesystem::remove(folder);
         std::ofstream(folder) << "";
       }},
      {"a link higher up",
       [&](const std::string& path) {
         std::filesystem::create_symlink(dir.Root(), path.substr(0, path.rfind("/globeview/")));
       },
       false, "state/globeview/instance.lock"},
  };
  int index = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.rootOnly && !root) continue;
    const std::string folder = dir.Path("case" + std::to_string(index++));
    std::filesystem::create_directory(folder);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    const std::string lock = folder + "/" + c.below;
    c.make(lock);
    Copy copy("ask", lock);
    EXPECT_EQ(copy.Finish(), static_cast<int>(State::Unavailable)) << "-1: it blocked";
    const std::string said = copy.process().readAllStandardError().toStdString();
    EXPECT_NE(said.find("running without the single-copy check: "), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), std::string::npos) << said;
  }
  EXPECT_EQ(test::ReadBytes(target), "keep");
}

// The lock is found from the account, not from the environment, so that every copy finds it.
TEST(ApplicationTest, TheProgramsLockLiesInTheAccountsHome) {
  const passwd* account = getpwuid(getuid());
  ASSERT_NE(account, nullptr);
  const std::string home = account->pw_dir;
  const char* previous = std::getenv("HOME");
  const std::string kept = previous != nullptr ? previous : "";
  setenv("HOME", "/nowhere", 1);
  const std::optional<std::string> path = InstanceLock::DefaultPath();
  if (previous != nullptr) setenv("HOME", kept.c_str(), 1);
  ASSERT_TRUE(path.has_value());
  EXPECT_EQ(*path, (home == "/" ? "" : home) + "/.local/state/globeview/instance.lock");
}

TEST(ApplicationTest, EndingRunsNothingAfterwardsAndKeepsWhatWasPrinted) {
  Copy copy("end", "");
  EXPECT_EQ(copy.Finish(), 7);
  EXPECT_EQ(copy.process().readAllStandardOutput(), "saved");
}

}  // namespace
}  // namespace globeview
