#include "platform/instance_lock.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace globeview {
namespace {

constexpr const char* kLockBelowHome = ".local/state/globeview/instance.lock";
constexpr mode_t kLockMode = 0600;
constexpr mode_t kFolderMode = 0700;
constexpr uid_t kSystem = 0;

std::string SystemReason() {
  return std::strerror(errno);
}

// The home folder from the account database, never from the environment, so that every copy of
// one account finds the same lock; without trailing slashes, "" for the root folder.
std::optional<std::string> AccountHome() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
      found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/') {
    return std::nullopt;
  }
  std::string home = found->pw_dir;
  while (!home.empty() && home.back() == '/') home.pop_back();
  return home;
}

// A folder no other account can change what this one made in: the user's or the system's, and
// writable by no one else, or sticky like /tmp, where others can add names but never move or remove
// this account's (the next folder on the way is then checked to be this account's own).
bool OnlyOursToChange(const struct stat& info) {
  const bool ownersOnly = (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
  return (info.st_uid == ::geteuid() || info.st_uid == kSystem) &&
         (ownersOnly || (info.st_mode & S_ISVTX) != 0);
}

}  // namespace

InstanceLock::InstanceLock() {
  if (const std::optional<std::string> home = AccountHome()) {
    Take(home->empty() ? "/" : *home, kLockBelowHome);
  } else {
    GiveUp("this account has no home folder");
  }
}

InstanceLock::InstanceLock(const std::optional<std::string>& path) {
  if (!path) {
    GiveUp("this account has no home folder");
  } else {
    const bool absolute = path->starts_with('/');
    Take(absolute ? "/" : ".", absolute ? path->substr(1) : *path);
  }
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

std::optional<std::string> InstanceLock::DefaultPath() {
  const std::optional<std::string> home = AccountHome();
  if (!home) return std::nullopt;
  return *home + "/" + kLockBelowHome;
}

void InstanceLock::Take(const std::string& start, const std::string& below) {
  // Each folder is opened from the one before, never through a link, and checked before anything
  // is looked up in it: a link or a folder another account can change anywhere on the way could
  // put the lock where that account can remove it. The way to the start is taken as it is.
  constexpr int kFolder = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
  int folderFd = ::open(start.c_str(), kFolder);
  if (folderFd < 0) return GiveUp("cannot open " + start + ": " + SystemReason());
  std::string reached = start;
  std::size_t from = 0;
  struct stat info {};
  for (;;) {
    if (::fstat(folderFd, &info) != 0 || !OnlyOursToChange(info)) {
      ::close(folderFd);
      return GiveUp(reached + " is not a folder only this account can write");
    }
    const std::size_t slash = below.find('/', from);
    if (slash == std::string::npos) break;
    const std::string part = below.substr(from, slash - from);
    from = slash + 1;
    if (part.empty()) continue;
    reached += (reached.ends_with('/') ? "" : "/") + part;
    int next = ::openat(folderFd, part.c_str(), kFolder | O_NOFOLLOW);
    if (next < 0 && errno == ENOENT && ::mkdirat(folderFd, part.c_str(), kFolderMode) == 0) {
      next = ::openat(folderFd, part.c_str(), kFolder | O_NOFOLLOW);
    }
    const std::string why = errno == ELOOP ? "a link, not a folder" : SystemReason();
    ::close(folderFd);
    if (next < 0) return GiveUp("cannot open " + reached + ": " + why);
    folderFd = next;
  }
  const std::string name = below.substr(from);
  const std::string path = reached + (reached.ends_with('/') ? "" : "/") + name;
  // Never through a link, and never waiting on a pipe for a writer.
  fd_ = ::openat(folderFd, name.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                 kLockMode);
  const std::string reason = SystemReason();
  ::close(folderFd);
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
