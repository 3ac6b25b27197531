#pragma once

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "data/coastline.h"
#include "data/point_table.h"

namespace globeview::test {

inline std::string ShippedCoastlinePath() {
  return GLOBEVIEW_ASSETS_DIR "/data.dat";
}

// The shipped coastline, loaded once per test program. Callers that project or draw change only the
// derived fields, which every projection recomputes.
inline PointTable& ShippedTable() {
  static PointTable* table = [] {
    auto* t = new PointTable();
    LoadCoastline(ShippedCoastlinePath(), *t);
    return t;
  }();
  return *table;
}

// A file's bytes as they are on disk; empty when it cannot be read.
inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The names in a directory, sorted.
inline std::vector<std::string> Listing(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Makes `link`, naming `target`, another account's (nobody's) link in a folder like /tmp, which
// everyone may write and only owners rename in. False where this process cannot give a link away.
inline bool MakeOthersLink(const std::string& target, const std::string& link) {
  const std::filesystem::path folder = std::filesystem::path(link).parent_path();
  std::filesystem::create_directories(folder);
  std::filesystem::create_symlink(target, link);
  return chmod(folder.c_str(), 01777) == 0 && lchown(link.c_str(), 65534, 65534) == 0;
}

// A scratch directory in the temporary folder (TMPDIR, which CTest points into the build folder),
// removed with everything in it at the end of the test, also what a test made unwritable.
class ScratchDir {
 public:
  ScratchDir() {
    std::string name = (std::filesystem::temp_directory_path() / "globeview-test-XXXXXX").string();
    if (mkdtemp(name.data()) == nullptr) {
      throw std::system_error(errno, std::generic_category(), "cannot make " + name);
    }
    root_ = name;
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    for (auto it = std::filesystem::recursive_directory_iterator(root_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
      if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
      }
    }
    std::filesystem::remove_all(root_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  std::string Path(const std::string& name) const { return root_ + "/" + name; }
  std::string Root() const { return root_; }
  // Writes `content` byte for byte to a file in the directory and returns its path.
  std::string Write(const std::string& name, const std::string& content) const {
    const std::string path = Path(name);
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

 private:
  std::string root_;
};

// Standard error from construction to Text(), kept in a nameless file of the temporary folder
// (GoogleTest's own capture writes to /tmp whatever TMPDIR says).
class StderrCapture {
 public:
  StderrCapture() {
    std::string name = (std::filesystem::temp_directory_path() / "stderr-XXXXXX").string();
    file_ = mkstemp(name.data());
    unlink(name.c_str());
    std::fflush(stderr);
    dup2(file_, STDERR_FILENO);
  }
  ~StderrCapture() {
    dup2(saved_, STDERR_FILENO);
    close(saved_);
    close(file_);
  }
  std::string Text() const {
    std::fflush(stderr);
    return ReadBytes("/proc/self/fd/" + std::to_string(file_));
  }

 private:
  int saved_ = dup(STDERR_FILENO);
  int file_ = -1;
};

}  // namespace globeview::test
