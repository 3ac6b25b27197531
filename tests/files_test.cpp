#include "platform/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"

namespace globeview {
namespace {

using test::ScratchDir;

std::vector<std::string> Listing(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(FilesTest, ReadsEveryByteAsWritten) {
  const std::string contents[] = {"", "1,2\r\n", std::string("a\0b\r\n\xff", 6),
                                  std::string(3 << 20, 'x')};
  for (const auto& content : contents) {
    ScratchDir dir;
    const std::string path = dir.Write("data.dat", content);
    EXPECT_EQ(MappedFile(path).Content(), content);
    EXPECT_EQ(ReadWholeFile(path), content);
  }
}

TEST(FilesTest, ReportsWhyAFileCannotBeRead) {
  ScratchDir dir;
  std::filesystem::create_directory(dir.Path("folder"));
  const std::string missing = dir.Path("data.dat");
  for (const auto& read :
       {std::function<void(const std::string&)>([](const std::string& p) { MappedFile file(p); }),
        std::function<void(const std::string&)>([](const std::string& p) { ReadWholeFile(p); })}) {
    try {
      read(missing);
      ADD_FAILURE() << "read a missing file";
    } catch (const FileError& e) {
      EXPECT_EQ(e.what(), "cannot open data.dat in " + dir.Root() + ": No such file or directory");
      EXPECT_EQ(e.path(), missing);
      EXPECT_EQ(e.reason(), "No such file or directory");
    }
    EXPECT_THROW(read(dir.Path("folder")), FileError);
  }
}

TEST(FilesTest, ReplacesAFileWholeAndLeavesNothingElse) {
  ScratchDir dir;
  const std::string path = dir.Path("data2.dat");
  WriteFileReplacing(path, "\"139.7\",\"35.7\",\"1\"\r\n");
  EXPECT_EQ(ReadWholeFile(path), "\"139.7\",\"35.7\",\"1\"\r\n");
  WriteFileReplacing(path, "0,0,1\r\n");  // shorter: nothing of the old content may remain
  EXPECT_EQ(ReadWholeFile(path), "0,0,1\r\n");
  WriteFileReplacing(path, "");
  EXPECT_EQ(ReadWholeFile(path), "");
  EXPECT_EQ(Listing(dir.Root()), std::vector<std::string>{"data2.dat"});
}

TEST(FilesTest, FailedReplacementLeavesEverythingAsItWas) {
  ScratchDir dir;
  // Running as root, permissions stop nothing: aim at places that cannot hold the file at all.
  const std::string notADirectory = dir.Write("program", "an executable, not a folder");
  std::filesystem::create_directory(dir.Path("data2.dat"));
  dir.Write("data2.dat/inside", "kept");
  const std::string targets[] = {notADirectory + "/data2.dat", dir.Path("data2.dat"),
                                 dir.Path("no such folder/data2.dat")};
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
    EXPECT_EQ(ReadWholeFile(notADirectory), "an executable, not a folder");
    EXPECT_EQ(Listing(dir.Path("data2.dat")), std::vector<std::string>{"inside"});
  }
}

}  // namespace
}  // namespace globeview
