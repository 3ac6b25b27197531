#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace globeview {

// A file that could not be used: names the operation, the file and the reason.
class FileError : public std::runtime_error {
 public:
  FileError(std::string operation, std::string path, std::string reason);
  const std::string& operation() const { return operation_; }
  const std::string& path() const { return path_; }
  const std::string& reason() const { return reason_; }

 private:
  std::string operation_;
  std::string path_;
  std::string reason_;
};

// A file opened for reading and mapped into memory: its bytes are read from disk only as they are
// looked at, so whatever a reader stops short of is never read. Closed by the destructor.
// Throws FileError when the file cannot be opened or mapped.
class MappedFile {
 public:
  explicit MappedFile(const std::string& path);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  std::string_view Content() const;

 private:
  struct Impl;
  Impl* impl_;
};

// Replaces a file's content without ever destroying the previous file: writes a temporary file in
// the same directory, flushes it to disk, then renames it over `path`. On failure the old file is
// left as it was, no temporary file remains, and FileError is thrown.
void WriteFileReplacing(const std::string& path, const std::string& content);

}  // namespace globeview
