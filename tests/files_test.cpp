#include "system/files.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "test_support.h"

namespace globeview {
namespace {

using namespace std::chrono_literals;

using test::Listing;
using test::ReadBytes;
using test::ScratchDir;

// Everything the file gives, in reads of at most `most` bytes.
std::string ReadToEnd(const std::string& path, std::size_t most) {
  InputFile file(path);
  std::string content;
  for (;;) {
    const std::size_t old = content.size();
    content.resize(old + most);
    const std::size_t got = file.ReadSome(content.data() + old, most);
    content.resize(old + got);
    if (got == 0) return content;
  }
}

TEST(FilesTest, ReadsEveryByteAsWritten) {
  const std::string contents[] = {"", "1,2\r\n", std::string("a\0b\r\n\xff", 6),
                                  std::string(3 << 20, 'x')};
  for (const auto& content : contents) {
    ScratchDir dir;
    const std::string path = dir.Write("data.dat", content);
    EXPECT_EQ(ReadToEnd(path, std::size_t{1} << 16), content);
  }
}

TEST(FilesTest, ReportsWhyAFileCannotBeRead) {
  ScratchDir dir;
  std::filesystem::create_directory(dir.Path("folder"));
  const std::string missing = dir.Path("data.dat");
  try {
    InputFile file(missing);
    ADD_FAILURE() << "opened a missing file";
  } catch (const FileError& e) {
    EXPECT_EQ(e.what(), "cannot open data.dat in " + dir.Root() + ": No such file or directory");
    EXPECT_EQ(e.path(), missing);
    EXPECT_EQ(e.line(), 0);
    EXPECT_EQ(e.reason(), "No such file or directory");
  }
  EXPECT_THROW(InputFile file(dir.Path("folder")), FileError);
}

// A file cut short after it was opened is read as what it holds then: a short file, never a crash
// (a file mapped into memory would kill the program on the first page past its new end).
TEST(FilesTest, AFileCutShortWhileOpenReadsShort) {
  ScratchDir dir;
  const std::string path = dir.Write("data.dat", std::string(1 << 20, '7'));
  InputFile file(path);
  ASSERT_EQ(::truncate(path.c_str(), 0), 0);
  std::string content(file.SizeHint(), '\0');
  EXPECT_EQ(file.ReadSome(content.data(), content.size()), 0u);
}

TEST(FilesTest, ReplacesAFileWholeAndLeavesNothingElse) {
  ScratchDir dir;
  const std::string path = dir.Path("data2.dat");
  // What a save killed before its rename left two minutes ago goes with the next save.
  std::filesystem::last_write_time(dir.Write(".data2.dat.k1LLed", "half"),
                                   std::filesystem::file_time_type::clock::now() - 2min);
  WriteFileReplacing(path, "\"139.7\",\"35.7\",\"1\"\r\n");
  EXPECT_EQ(ReadBytes(path), "\"139.7\",\"35.7\",\"1\"\r\n");
  WriteFileReplacing(path, "0,0,1\r\n");  // shorter: nothing of the old content may remain
  EXPECT_EQ(ReadBytes(path), "0,0,1\r\n");
  WriteFileReplacing(path, "");
  EXPECT_EQ(ReadBytes(path), "");
  EXPECT_EQ(Listing(dir.Root()), std::vector<std::string>{"data2.dat"});
}

TEST(FilesTest, FailedReplacementLeavesEverythingAsItWas) {
  ScratchDir dir;
  // Running as root, permissions stop nothing: aim at places that cannot hold the file at all.
  const std::string notADirectory = dir.Write("program", "an executable, not a folder");
  std::filesystem::create_directory(dir.Path("data2.dat"));
  dir.Write("data2.dat/inside", "kept");
  std::vector<std::string> targets = {notADirectory + "/data2.dat", dir.Path("data2.dat"),
                                      dir.Path("no such folder/data2.dat")};
  // Another account's link in a folder like /tmp, pointing at the program, is not followed.
  ScratchDir shared;
  if (test::MakeOthersLink(notADirectory, shared.Path("data2.dat"))) {
    targets.push_back(shared.Path("data2.dat"));
  }
  for (const auto& target : targets) {
    SCOPED_TRACE(target);
    try {
      WriteFileReplacing(target, "0,0,1\r\n");
      ADD_FAILURE() << "wrote " << target;
    } catch (const FileError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.rfind("cannot write data2.dat in ", 0), 0u) << message;
      EXPECT_FALSE(e.reason().empty());
      EXPECT_NE(message.find(e.reason()), std::string::npos) << message;
    }
    EXPECT_EQ(Listing(dir.Root()), (std::vector<std::string>{"data2.dat", "program"}));
    EXPECT_EQ(ReadBytes(notADirectory), "an executable, not a folder");
    EXPECT_EQ(Listing(dir.Path("data2.dat")), std::vector<std::string>{"inside"});
  }
}

// Writes in a child process that, run as root, has become the user "nobody", for whom permissions
// count. Its exit status: 0 written, 1 refused with an error naming the file, 2 anything else.
int WriteAsNobody(const std::string& path, const std::string& content) {
  constexpr uid_t kNobody = 65534;
  const pid_t child = fork();
  if (child == 0) {
    int status = 2;
    if (geteuid() != 0 ||
        (setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0)) {
      try {
        WriteFileReplacing(path, content);
        status = 0;
      } catch (const FileError& e) {
        status = std::string(e.what()).starts_with("cannot write data2.dat in ") ? 1 : 2;
      }
    }
    _exit(status);
  }
  int status = -1;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A folder the user cannot write (a program installed by the administrator) may hold a data2.dat
// the user can: it is written in place. One the user cannot write either stays as it was.
TEST(FilesTest, WritesInPlaceWhereTheFolderCannotHoldATemporaryFile) {
  ScratchDir dir;
  ASSERT_EQ(chmod(dir.Root().c_str(), 0755), 0);  // so that nobody reaches the folder
  const std::string folder = dir.Path("program");
  const std::string path = folder + "/data2.dat";
  const std::string previous = "\"139.7\",\"35.7\",\"1\"\r\n";
  const std::tuple<mode_t, int, std::string> cases[] = {{0666, 0, "0,0,1\r\n"},
                                                        {0444, 1, previous}};
  for (const auto& [fileMode, status, after] : cases) {
    std::filesystem::create_directories(folder);
    ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
    dir.Write("program/data2.dat", previous);
    ASSERT_EQ(chmod(path.c_str(), fileMode), 0);
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
    EXPECT_EQ(WriteAsNobody(path, "0,0,1\r\n"), status) << fileMode;
    EXPECT_EQ(ReadBytes(path), after);
    EXPECT_EQ(Listing(folder), std::vector<std::string>{"data2.dat"});
  }
  chmod(folder.c_str(), 0755);
}

// On a full disk a file written in place stays whole: the room for the new content is taken before
// the old is touched. On a small file system of the test's own, which needs root.
TEST(FilesTest, AFullDiskLeavesAFileWrittenInPlaceWhole) {
  ScratchDir dir;
  ASSERT_EQ(chmod(dir.Root().c_str(), 0755), 0);
  const std::string disk = dir.Path("disk");
  std::filesystem::create_directory(disk);
  if (geteuid() != 0 || unshare(CLONE_NEWNS) != 0 ||
      mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k,mode=0755") != 0) {
    GTEST_SKIP() << "cannot mount a small file system here: " << std::strerror(errno);
  }
  const std::string path = dir.Write("disk/data2.dat", "\"139.7\",\"35.7\",\"1\"\r\n");
  ASSERT_EQ(chmod(path.c_str(), 0666), 0);
  {
    std::ofstream filler(dir.Path("disk/filler"), std::ios::binary);
    const std::string page(4096, 'f');
    while (filler.write(page.data(), page.size()) && filler.flush()) {
    }
  }
  const std::string picture(4 * 4096, 'p');
  EXPECT_EQ(WriteAsNobody(path, picture), 1);
  EXPECT_EQ(ReadBytes(path), "\"139.7\",\"35.7\",\"1\"\r\n");
  std::filesystem::remove(dir.Path("disk/filler"));
  EXPECT_EQ(WriteAsNobody(path, picture), 0);
  EXPECT_EQ(ReadBytes(path), picture);
  umount2(disk.c_str(), MNT_DETACH);
}

// A link is followed to the file it names, also one not made yet, and stays a link; a loop of
// links is refused as one. A name as long as the folder takes is written like any other.
TEST(FilesTest, WritesTheFileALinkNamesAndNamesOfAnyLegalLength) {
  namespace fs = std::filesystem;
  ScratchDir dir;
  fs::create_directory(dir.Path("saved"));
  fs::create_symlink("saved/data2.dat", dir.Path("relative"));
  fs::create_symlink("relative", dir.Path("chained"));
  fs::create_symlink(dir.Path("saved/view.dat"), dir.Path("absolute"));
  const std::string longest(NAME_MAX, 'n');
  const std::pair<std::string, std::string> cases[] = {{"relative", "saved/data2.dat"},
                                                       {"chained", "saved/data2.dat"},
                                                       {"absolute", "saved/view.dat"},
                                                       {longest, longest}};
  for (const auto& [name, file] : cases) {
    for (const std::string content : {"1,2,3\r\n", "0,0,1\r\n"}) {  // made, then replaced
      ASSERT_NO_THROW(WriteFileReplacing(dir.Path(name), content)) << name;
      EXPECT_EQ(ReadBytes(dir.Path(file)), content) << name;
      EXPECT_EQ(fs::is_symlink(dir.Path(name)), name != longest) << name;
    }
  }
  EXPECT_EQ(Listing(dir.Path("saved")), (std::vector<std::string>{"data2.dat", "view.dat"}));
  fs::create_symlink("loop2", dir.Path("loop1"));
  fs::create_symlink("loop1", dir.Path("loop2"));
  try {
    WriteFileReplacing(dir.Path("loop1"), "0,0,1\r\n");
    ADD_FAILURE() << "wrote through a loop";
  } catch (const FileError& e) {
    EXPECT_EQ(e.reason(), std::strerror(ELOOP));
  }
}

// A pipe has no size to map: it is read as it comes; and it is written to, never replaced by a
// file.
TEST(FilesTest, PipesAreReadAndWrittenInPlace) {
  ScratchDir dir;
  const std::string fifo = dir.Path("data.dat");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << "1,2\r\n3,4\r\n"; });
  EXPECT_EQ(ReadToEnd(fifo, 4), "1,2\r\n3,4\r\n");
  writer.join();

  std::string received;
  std::thread reader([&] { received = ReadBytes(fifo); });
  WriteFileReplacing(fifo, "0,0,1\r\n");
  reader.join();
  EXPECT_EQ(received, "0,0,1\r\n");
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
  EXPECT_EQ(Listing(dir.Root()), std::vector<std::string>{"data.dat"});
  // Where only a regular file will do, a pipe is refused at once, saying what it is.
  try {
    InputFile file(fifo, FileKinds::kRegularOnly);
    ADD_FAILURE() << "opened a pipe";
  } catch (const FileError& e) {
    EXPECT_EQ(e.reason(), "a pipe (FIFO), not a regular file");
  }
  EXPECT_THROW(WriteFileReplacing(fifo, "0,0,1\r\n", FileKinds::kRegularOnly), FileError);
}

}  // namespace
}  // namespace globeview
