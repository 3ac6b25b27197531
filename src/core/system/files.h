#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace globeview {

// A file that could not be used, or whose content is wrong: the operation that failed ("open",
// "read", "write"; empty when the file was read but what it holds is wrong), the file, the line at
// fault (0 when none) and the reason. what() is the one message shown to the user, composed once
// from these parts: "cannot open data.dat in /some/dir: No such file or directory", "data.dat in
// /some/dir: line 1203: quoted field is not closed", "data.dat in /some/dir holds only 1234 of the
// 61656 point pairs". The file's own name comes with the absolute directory it was looked for in,
// so a relative name still says where.
class FileError : public std::runtime_error {
 public:
  FileError(std::string operation, std::string path, std::string reason);
  FileError(std::string operation, std::string path, std::int64_t line, std::string reason);
  const std::string& operation() const { return operation_; }
  const std::string& path() const { return path_; }
  std::int64_t line() const { return line_; }
  const std::string& reason() const { return reason_; }

 private:
  std::string operation_;
  std::string path_;
  std::int64_t line_;
  std::string reason_;
};

// Which kinds of file a name may stand for. A pipe or a device waits for a program at its other
// end, for ever when none comes, so the program takes one only where the user asked for a stream;
// every other name must stand for a regular file.
enum class FileKinds {
  kRegularOnly,  // anything else is refused at once, its FileError saying what it is
  kStreamsToo,   // a pipe or a device is read or written as it is, waiting for its other end
};

// A file opened for reading, closed by the destructor. It is read, never mapped: a file that
// shrinks while it is read is then only a short file, not a crash. A pipe or a device, where
// `kinds` takes one, is read as its bytes arrive, so a reader can stop as soon as it has what it
// needs.
class InputFile {
 public:
  // Throws FileError ("open") when the file cannot be opened, is a directory, or is of a kind
  // `kinds` refuses ("a pipe (FIFO), not a regular file"); never waits to open.
  explicit InputFile(const std::string& path, FileKinds kinds = FileKinds::kStreamsToo);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Reads at most `most` further bytes into `into` and returns how many; 0 only at the end.
  // Waits for a pipe's writer when nothing has arrived yet. Throws FileError ("read").
  std::size_t ReadSome(char* into, std::size_t most);
  // A regular file's size when opened (what a whole read is expected to bring), else 0.
  std::size_t SizeHint() const { return sizeHint_; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
  std::size_t sizeHint_ = 0;
};

// Replaces a file's content without ever destroying the previous file: writes a temporary file in
// the same directory, flushes it to disk, then renames it over `path`. A symbolic link is followed
// to the file it names (made there when missing) and stays a link; a loop of links is refused with
// ELOOP's reason. As the system itself does, a link in a folder that everyone may write and only
// owners may rename in (sticky, as /tmp) is followed only when it belongs to the user or to the
// folder's owner: another account's link there is refused with a FileError naming it. Any name
// the file system takes can be written. Where the directory cannot hold a new file but the file
// itself is writable, the file is written in place instead, its new length reserved first, so a
// full disk leaves it whole. A pipe or a device is written to as it is where `kinds` takes one,
// else refused. On failure the old file is left as it was, no temporary file remains, and
// FileError is thrown. Temporary files that saves of the same file killed before their end left
// behind (the user's own, a minute old) are removed once the new file is in place.
void WriteFileReplacing(const std::string& path, std::string_view content,
                        FileKinds kinds = FileKinds::kStreamsToo);

}  // namespace globeview
