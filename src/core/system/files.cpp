#include "system/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Writes into the existing file itself: for a pipe or device, and for a writable file in a
// folder that cannot hold the temporary file.
void WriteInPlace(const std::string& path, std::string_view content, bool truncate) {
  Descriptor file{::open(path.c_str(), O_WRONLY | O_CLOEXEC | (truncate ? O_TRUNC : 0))};
  if (file.fd < 0 || !WriteAll(file.fd, content)) throw FileError("write", path, Reason(errno));
  if (truncate && ::fsync(file.fd) != 0) throw FileError("write", path, Reason(errno));
  if (::close(file.Release()) != 0) throw FileError("write", path, Reason(errno));
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
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode) && !S_ISDIR(existing.st_mode)) {
    // A device or a pipe (/dev/stdout, a FIFO) is written to as it is; replacing it with a
    // regular file would destroy it.
    WriteInPlace(path, content, false);
    return;
  }
  if (exists && S_ISDIR(existing.st_mode)) throw FileError("write", path, Reason(EISDIR));

  // The temporary file lies beside the target (a link is followed to the file it names), so the
  // rename that puts it in place is atomic.
  std::error_code ignored;
  fs::path target = fs::path(path);
  if (fs::is_symlink(target, ignored)) target = fs::weakly_canonical(target, ignored);
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  const std::string hidden = std::string(".").append(target.filename().string()).append(".XXXXXX");
  std::string temporary = (folder / hidden).string();
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
