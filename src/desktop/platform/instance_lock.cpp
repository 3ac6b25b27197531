#include "platform/instance_lock.h"

#include <unistd.h>

#include <QLockFile>
#include <QString>
#include <filesystem>
#include <map>
#include <memory>

#include "system/application.h"

namespace globeview {
namespace {

// Not QDir::tempPath(): that follows TMPDIR, and a copy started with another TMPDIR would not see
// the first copy's lock. The folder every user shares, with the user's number in the name.
constexpr const char* kLockFolder = "/tmp";

// Keeps a lock name a plain file name whatever the executable is called.
std::string FileNameSafe(std::string text) {
  for (char& c : text) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.';
    if (!plain) c = '_';
  }
  return text;
}

// The locks this process holds, kept until it ends; a copy that crashes leaves its lock file, which
// the next copy recovers as stale.
std::map<std::string, std::unique_ptr<QLockFile>>& HeldLocks() {
  static std::map<std::string, std::unique_ptr<QLockFile>> locks = [] {
    // Gone with the process anyway, but released at the end the lock leaves no file behind.
    AtEndProgram([] {
      for (auto& [path, lock] : HeldLocks()) {
        if (lock) lock->unlock();
      }
    });
    return std::map<std::string, std::unique_ptr<QLockFile>>();
  }();
  return locks;
}

}  // namespace

std::string InstanceLockPath() {
  std::string program = std::filesystem::path(ExecutablePath()).filename().string();
  if (program.empty()) program = "globeview";
  const std::string name = FileNameSafe(program + "-" + std::to_string(getuid())) + ".lock";
  return JoinPath(kLockFolder, name);
}

bool PreviousInstanceRunning() {
  return PreviousInstanceRunning(InstanceLockPath());
}

bool PreviousInstanceRunning(const std::string& lockPath) {
  auto& lock = HeldLocks()[lockPath];
  if (lock && lock->isLocked()) return false;
  if (!lock) {
    lock = std::make_unique<QLockFile>(QString::fromStdString(lockPath));
    // Age alone must never make a running copy's lock stale: only a holder that no longer runs
    // does (QLockFile checks the process id recorded in the lock).
    lock->setStaleLockTime(0);
  }
  // The program asks once, at start-up; asked again (as tests do), the answer follows the other
  // copy: once it has ended, this copy takes the lock over.
  if (lock->tryLock(0)) return false;
  // Only a lock held by another process means another copy; a folder that cannot hold a lock at
  // all must not stop the user from working.
  return lock->error() == QLockFile::LockFailedError;
}

}  // namespace globeview
