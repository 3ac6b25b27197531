#include "platform/instance_lock.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "data/locations.h"
#include "system/files.h"

namespace globeview {
namespace {

constexpr const char* kLockBelowHome = "/.local/state/globeview/instance.lock";
constexpr mode_t kLockMode = 0600;

std::string SystemReason() {
  return std::strerror(errno);
}

}  // namespace

InstanceLock::InstanceLock() : InstanceLock(DefaultPath()) {}

InstanceLock::InstanceLock(const std::optional<std::string>& path) {
  if (path) {
    Take(*path);
  } else {
    GiveUp("this account has no home folder");
  }
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

std::optional<std::string> InstanceLock::DefaultPath() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
      found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/') {
    return std::nullopt;
  }
  std::string home = found->pw_dir;
  while (home.size() > 1 && home.back() == '/') home.pop_back();
  if (home == "/") home.clear();
  return home + kLockBelowHome;
}

void InstanceLock::Take(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
  if (slash != 0 && slash != std::string::npos) {
    try {
      MakeFoldersFor(path);
    } catch (const FileError& error) {
      return GiveUp("cannot make " + error.path() + ": " + error.reason());
    }
  }
  // The folder itself must not be a link, and no other account may write in it: otherwise the lock
  // file could be swapped under us.
  const int folderFd =
      ::open(slash == 0 ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (folderFd < 0) return GiveUp("cannot open " + folder + ": " + SystemReason());
  struct stat info {};
  const bool folderOwned = ::fstat(folderFd, &info) == 0 && info.st_uid == ::geteuid() &&
                           (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
  const std::string name = path.substr(slash + 1);
  // Never through a link, and never waiting on a pipe for a writer.
  if (folderOwned) {
    fd_ = ::openat(folderFd, name.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                   kLockMode);
  }
  const std::string reason = SystemReason();
  ::close(folderFd);
  if (!folderOwned) return GiveUp(folder + " is not a folder only this account can write");
  if (fd_ < 0) return GiveUp("cannot open " + path + ": " + reason);
  if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
    return GiveUp(path + " is not a plain file of this account");
  }
  if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
    state_ = State::Held;
  } else if (errno == EWOULDBLOCK) {
    state_ = State::HeldElsewhere;
  } else {
    GiveUp("cannot lock " + path + ": " + SystemReason());
  }
}

void InstanceLock::GiveUp(const std::string& why) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  state_ = State::Unavailable;
  problem_ = "running without the single-copy check: " + why;
}

}  // namespace globeview
