#include "system/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "system/error_report.h"

namespace globeview {
namespace {

namespace fs = std::filesystem;

std::string Reason(int error) {
  return std::strerror(error);
}

// "cannot open data.dat in /home/user/globe: No such file or directory", "data.dat in
// /home/user/globe: line 12: quoted field is not closed", "data.dat in /home/user/globe holds only
// 1234 of the 61656 point pairs".
std::string DescribeFailure(const std::string& operation, const std::string& path,
                            std::int64_t line, const std::string& reason) {
  std::error_code ignored;
  const fs::path absolute = fs::absolute(fs::path(path), ignored).lexically_normal();
  std::string name = absolute.filename().string();
  fs::path directory = absolute.parent_path();
  if (name.empty()) {  // "folder/" names the folder itself
    name = directory.filename().string();
    directory = directory.parent_path();
  }
  const std::string where =
      Printable(name.empty() ? path : name) + " in " + Printable(directory.string());
  const std::string atLine = line > 0 ? "line " + std::to_string(line) + ": " : std::string();
  // What the file holds is at fault: its line, or else the reason goes on from the file's name.
  if (operation.empty()) return where + (line > 0 ? ": " + atLine : " ") + reason;
  return "cannot " + operation + " " + where + ": " + atLine + reason;
}

// Why a file that is neither regular nor a folder cannot be used where only a regular file is.
std::string NotRegular(mode_t mode) {
  const char* kind = S_ISFIFO(mode)   ? "a pipe (FIFO)"
                     : S_ISCHR(mode)  ? "a character device"
                     : S_ISBLK(mode)  ? "a block device"
                     : S_ISSOCK(mode) ? "a socket"
                                      : "a special file";
  return std::string(kind) + ", not a regular file";
}

// Closes a descriptor at the end of a scope.
struct Descriptor {
  int fd = -1;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
  int Release() {
    const int f = fd;
    fd = -1;
    return f;
  }
};

// Writes all of `content`, however the kernel splits it; errno tells why when false.
bool WriteAll(int fd, std::string_view content) {
  const char* data = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

mode_t CurrentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

// Writes into the existing file itself: for a pipe or device (`replace` false), and for a
// writable file in a folder that cannot hold the temporary file.
void WriteInPlace(const std::string& path, std::string_view content, bool replace) {
  // A file that was regular a moment ago and is now a pipe fails here instead of waiting.
  Descriptor file{
      ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | (replace ? O_NONBLOCK : 0))};
  if (file.fd < 0) throw FileError("write", path, Reason(errno));
  if (replace && !content.empty()) {
    // The room for the new content is taken before a byte of the old one changes: a full disk
    // then leaves the old file whole.
    const int error = ::posix_fallocate(file.fd, 0, static_cast<off_t>(content.size()));
    if (error != 0) throw FileError("write", path, Reason(error));
  }
  if (!WriteAll(file.fd, content)) throw FileError("write", path, Reason(errno));
  // Cut only once the new content is in: a shorter one leaves no tail of the old.
  if (replace && ::ftruncate(file.fd, static_cast<off_t>(content.size())) != 0) {
    throw FileError("write", path, Reason(errno));
  }
  if (replace && ::fsync(file.fd) != 0) throw FileError("write", path, Reason(errno));
  if (::close(file.Release()) != 0) throw FileError("write", path, Reason(errno));
}

// Whether the system would follow the link `link`, whose own status is `info`. In a folder that
// everyone may write and only owners rename in (sticky, as /tmp) it follows only a link of the
// user's own or of the folder's owner, so that no other account can send a write elsewhere.
bool MayFollow(const fs::path& link, const struct stat& info) {
  struct stat folder {};
  if (::stat((link.has_parent_path() ? link.parent_path() : fs::path(".")).c_str(), &folder) != 0) {
    return false;
  }
  const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
  return !shared || info.st_uid == ::geteuid() || info.st_uid == folder.st_uid;
}

// The file a name stands for: a symbolic link is followed, link by link, to the name it gives,
// also when no file has that name yet, so the link stays and the file it names is written.
fs::path FollowLinks(const std::string& path) {
  constexpr int kMostLinks = 40;  // as the kernel allows in one path
  fs::path target(path);
  for (int links = 0;; ++links) {
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return target;
    if (links == kMostLinks) throw FileError("write", path, Reason(ELOOP));
    if (!MayFollow(target, info)) {
      throw FileError("write", target.string(),
                      "another account's link in a folder everyone can write; not followed");
    }
    std::error_code error;
    const fs::path next = fs::read_symlink(target, error);
    if (error) throw FileError("write", path, error.message());
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
}

// ".NAME.XXXXXX" in `folder`, NAME cut short where the whole would pass the longest name the
// folder takes: any name the target may have leaves room for the temporary one.
std::string TemporaryName(const fs::path& folder, const std::string& name) {
  constexpr std::string_view kUnique = ".XXXXXX";
  const long most = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  const std::size_t room =
      static_cast<std::size_t>(most > 0 ? most : NAME_MAX) - 1 - kUnique.size();
  std::string hidden = ".";
  hidden.append(name, 0, room).append(kUnique);
  return (folder / hidden).string();
}

// Removes what saves killed between writing and renaming left in `folder`: files named as the
// temporary file `temporary` but for its last six characters, regular, the user's own and
// untouched for a minute (a save still running writes its file in far less).
void RemoveLeftovers(const fs::path& folder, const std::string& temporary) {
  constexpr std::size_t kUnique = 6;  // mkstemp's XXXXXX
  constexpr std::time_t kOldSeconds = 60;
  const std::string made = fs::path(temporary).filename().string();
  const std::string_view prefix = std::string_view(made).substr(0, made.size() - kUnique);
  DIR* const listing = ::opendir(folder.c_str());
  if (listing == nullptr) return;
  const std::time_t old = std::time(nullptr) - kOldSeconds;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (name.size() != made.size() || !name.starts_with(prefix) ||
        !std::all_of(name.end() - kUnique, name.end(), [](char c) {
          return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        })) {
      continue;
    }
    struct stat info {};
    if (::fstatat(::dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(info.st_mode) && info.st_uid == ::geteuid() && info.st_mtime < old) {
      ::unlinkat(::dirfd(listing), entry->d_name, 0);
    }
  }
  ::closedir(listing);
}

}  // namespace

FileError::FileError(std::string operation, std::string path, std::string reason)
    : FileError(std::move(operation), std::move(path), 0, std::move(reason)) {}

FileError::FileError(std::string operation, std::string path, std::int64_t line, std::string reason)
    : std::runtime_error(DescribeFailure(operation, path, line, reason)),
      operation_(std::move(operation)),
      path_(std::move(path)),
      line_(line),
      reason_(std::move(reason)) {}

InputFile::InputFile(const std::string& path, FileKinds kinds) : path_(path) {
  // Opening a pipe waits for its writer, for ever when none comes: only a stream asked for may.
  const int wait = kinds == FileKinds::kRegularOnly ? O_NONBLOCK : 0;
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | wait);
  if (fd_ < 0) throw FileError("open", path, Reason(errno));
  struct stat info {};
  if (::fstat(fd_, &info) != 0) {
    const int error = errno;
    ::close(fd_);
    throw FileError("open", path, Reason(error));
  }
  if (S_ISDIR(info.st_mode)) {
    ::close(fd_);
    throw FileError("open", path, Reason(EISDIR));
  }
  if (!S_ISREG(info.st_mode) && kinds == FileKinds::kRegularOnly) {
    ::close(fd_);
    throw FileError("open", path, NotRegular(info.st_mode));
  }
  if (S_ISREG(info.st_mode)) sizeHint_ = static_cast<std::size_t>(info.st_size);
  if (wait != 0) ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
}

InputFile::~InputFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::size_t InputFile::ReadSome(char* into, std::size_t most) {
  for (;;) {
    const ssize_t got = ::read(fd_, into, most);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) throw FileError("read", path_, Reason(errno));
  }
}

void WriteFileReplacing(const std::string& path, std::string_view content, FileKinds kinds) {
  // The temporary file lies beside the file the name stands for, so the rename that puts it in
  // place is atomic and a link keeps pointing at it.
  const fs::path target = FollowLinks(path);
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode) && !S_ISDIR(existing.st_mode)) {
    if (kinds == FileKinds::kRegularOnly) {
      throw FileError("write", path, NotRegular(existing.st_mode));
    }
    // A device or a pipe (/dev/stdout, a FIFO) is written to as it is; replacing it with a
    // regular file would destroy it.
    WriteInPlace(target.string(), content, false);
    return;
  }
  if (exists && S_ISDIR(existing.st_mode)) throw FileError("write", path, Reason(EISDIR));

  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::string temporary = TemporaryName(folder, target.filename().string());
  Descriptor file{::mkstemp(temporary.data())};
  if (file.fd < 0) {
    const int error = errno;
    // A folder the user cannot write may still hold a file the user can: write that in place.
    if (exists && (error == EACCES || error == EPERM || error == EROFS) &&
        ::access(target.c_str(), W_OK) == 0) {
      WriteInPlace(target.string(), content, true);
      return;
    }
    throw FileError("write", path, Reason(error));
  }
  const auto fail = [&](int error) {
    ::close(file.Release());
    ::unlink(temporary.c_str());
    throw FileError("write", path, Reason(error));
  };
  // mkstemp makes the file private; it takes the old file's permissions, or the usual ones.
  const mode_t mode = exists ? (existing.st_mode & 07777) : (0666 & ~CurrentUmask());
  if (::fchmod(file.fd, mode) != 0) fail(errno);
  if (!WriteAll(file.fd, content)) fail(errno);
  // On disk before the rename, so a crash leaves the old file or the new one, never half of one.
  if (::fsync(file.fd) != 0) fail(errno);
  if (::close(file.Release()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    throw FileError("write", path, Reason(error));
  }
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    throw FileError("write", path, Reason(error));
  }
  Descriptor directory{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (directory.fd >= 0) ::fsync(directory.fd);
  RemoveLeftovers(folder, temporary);
}

}  // namespace globeview
