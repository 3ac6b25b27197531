#include "system/files.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

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
  const std::string where = (name.empty() ? path : name) + " in " + directory.string();
  const std::string atLine = line > 0 ? "line " + std::to_string(line) + ": " : std::string();
  // What the file holds is at fault: its line, or else the reason goes on from the file's name.
  if (operation.empty()) return where + (line > 0 ? ": " + atLine : " ") + reason;
  return "cannot " + operation + " " + where + ": " + atLine + reason;
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
  Descriptor file{::open(path.c_str(), O_WRONLY | O_CLOEXEC)};
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

// The file a name stands for: a symbolic link is followed, link by link, to the name it gives,
// also when no file has that name yet, so the link stays and the file it names is written.
fs::path FollowLinks(const std::string& path) {
  constexpr int kMostLinks = 40;  // as the kernel allows in one path
  fs::path target(path);
  for (int links = 0;; ++links) {
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return target;
    if (links == kMostLinks) throw FileError("write", path, Reason(ELOOP));
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

}  // namespace

FileError::FileError(std::string operation, std::string path, std::string reason)
    : FileError(std::move(operation), std::move(path), 0, std::move(reason)) {}

FileError::FileError(std::string operation, std::string path, std::int64_t line, std::string reason)
    : std::runtime_error(DescribeFailure(operation, path, line, reason)),
      operation_(std::move(operation)),
      path_(std::move(path)),
      line_(line),
      reason_(std::move(reason)) {}

InputFile::InputFile(const std::string& path) : path_(path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
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
  if (S_ISREG(info.st_mode)) sizeHint_ = static_cast<std::size_t>(info.st_size);
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

void WriteFileReplacing(const std::string& path, std::string_view content) {
  // The temporary file lies beside the file the name stands for, so the rename that puts it in
  // place is atomic and a link keeps pointing at it.
  const fs::path target = FollowLinks(path);
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode) && !S_ISDIR(existing.st_mode)) {
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
}

}  // namespace globeview
