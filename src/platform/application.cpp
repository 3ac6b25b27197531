#include "platform/application.h"

#include <pwd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <utility>

namespace globeview {
namespace {

std::string ExecutablePath() {
  if (QCoreApplication::instance() != nullptr) {
    return QCoreApplication::applicationFilePath().toStdString();
  }
  std::error_code error;
  const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.string();
}

std::string UserName() {
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_name != nullptr) {
    return entry->pw_name;
  }
  return std::to_string(getuid());
}

// Keeps a lock name a plain file name whatever the executable or user is called.
std::string FileNameSafe(std::string text) {
  for (char& c : text) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.';
    if (!plain) c = '_';
  }
  return text;
}

std::string DefaultLockPath() {
  std::string program = std::filesystem::path(ExecutablePath()).filename().string();
  if (program.empty()) program = "globeview";
  const std::string name = FileNameSafe(program + "-" + UserName()) + ".lock";
  return JoinPath(QDir::tempPath().toStdString(), name);
}

// The locks this process holds, kept until it ends; a copy that crashes leaves its lock file, which
// the next copy recovers as stale.
std::map<std::string, std::unique_ptr<QLockFile>>& HeldLocks() {
  static std::map<std::string, std::unique_ptr<QLockFile>> locks;
  return locks;
}

std::function<void(int)>& EndAction() {
  static std::function<void(int)> action;
  return action;
}

}  // namespace

std::string ApplicationDirectory() {
  std::string path = ExecutablePath();
  if (path.empty()) return QDir::currentPath().toStdString();
  return QFileInfo(QString::fromStdString(path)).absolutePath().toStdString();
}

std::string JoinPath(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  if (directory.back() == '/') return directory + name;
  return directory + "/" + name;
}

bool PreviousInstanceRunning() {
  return PreviousInstanceRunning(DefaultLockPath());
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
  // Only a lock held by another process means another copy; a temporary directory that cannot
  // hold a lock at all must not stop the user from working.
  return lock->error() == QLockFile::LockFailedError;
}

void EndProgram(int status) {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  if (const auto action = EndAction()) action(status);
  // Gone with the process anyway, but released here the lock leaves no file behind.
  for (auto& [path, lock] : HeldLocks()) {
    if (lock) lock->unlock();
  }
  std::_Exit(status);
}

void SetEndAction(std::function<void(int status)> action) {
  EndAction() = std::move(action);
}

}  // namespace globeview
