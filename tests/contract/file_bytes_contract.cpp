// Whole files as bytes: what an undo image of an INI or shortcut file reads and writes back.
// The bytes must be the very ones the profile functions and the shell object see.
#include <gtest/gtest.h>

#include <string>

#include "contract/backend.h"
#include "platform/ini.h"

namespace zeb::contract {
namespace {

std::string EveryByte(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 256);
  return bytes;
}

TEST(FileBytesContract, WritesAndReadsEveryByteOfLargeAndEmptyFiles) {
  const std::string folder = NewFolder();
  const std::string path = folder + "\\Data.bin";
  const std::string big = EveryByte(300000);  // CR, LF, zeros and 0x1A among them

  ASSERT_TRUE(FileBytes().WriteAll(path, big)) << BackendName();
  std::string read;
  EXPECT_EQ(FileBytes().ReadAll(path, &read), FileReadStatus::kRead);
  EXPECT_EQ(read, big);
  EXPECT_EQ(ReadTestFile(path), big);

  // Shorter contents leave nothing of the longer ones behind.
  ASSERT_TRUE(FileBytes().WriteAll(path, "ab"));
  EXPECT_EQ(FileBytes().ReadAll(path, &read), FileReadStatus::kRead);
  EXPECT_EQ(read, "ab");

  ASSERT_TRUE(FileBytes().WriteAll(path, ""));
  read = "stale";
  EXPECT_EQ(FileBytes().ReadAll(path, &read), FileReadStatus::kRead);
  EXPECT_EQ(read, "");
  EXPECT_TRUE(FileBytes().Exists(path));
}

TEST(FileBytesContract, MissingFilesAndFoldersAreKeptApartFromFilesThatCannotBeRead) {
  const std::string folder = NewFolder();
  std::string read = "untouched";
  EXPECT_EQ(FileBytes().ReadAll(folder + "\\Absent.ini", &read), FileReadStatus::kNotFound);
  EXPECT_EQ(FileBytes().ReadAll(folder + "\\NoFolder\\Absent.ini", &read),
            FileReadStatus::kNotFound);
  MakeFolder(folder + "\\Sub");
  EXPECT_EQ(FileBytes().ReadAll(folder + "\\Sub", &read), FileReadStatus::kFailed);
  EXPECT_EQ(read, "untouched");

  EXPECT_FALSE(FileBytes().Exists(folder + "\\Absent.ini"));
  EXPECT_FALSE(FileBytes().Exists(folder + "\\Sub"));  // a folder is no file
  EXPECT_FALSE(FileBytes().WriteAll(folder + "\\NoFolder\\New.ini", "x"));
  EXPECT_FALSE(FileBytes().WriteAll(folder + "\\Sub", "x"));
}

TEST(FileBytesContract, RemoveDeletesFilesAndTakesAMissingOneAsDone) {
  const std::string folder = NewFolder();
  const std::string path = folder + "\\Old.lnk";
  WriteTestFile(path, "shortcut");

  EXPECT_TRUE(FileBytes().Remove(path));
  EXPECT_FALSE(TestFileExists(path));
  EXPECT_TRUE(FileBytes().Remove(path));
  EXPECT_TRUE(FileBytes().Remove(folder + "\\NoFolder\\Old.lnk"));
  MakeFolder(folder + "\\Sub");
  EXPECT_FALSE(FileBytes().Remove(folder + "\\Sub"));
  EXPECT_TRUE(TestFileExists(folder + "\\Sub"));
}

TEST(FileBytesContract, HiddenAndSystemFilesAreRewrittenInPlace) {
  const std::string folder = NewFolder();
  for (std::uint32_t attribute : {fileattr::kHidden, fileattr::kSystem}) {
    SCOPED_TRACE(attribute);
    const std::string path = folder + "\\F" + std::to_string(attribute) + ".ini";
    WriteTestFile(path, "old", attribute);
    ASSERT_TRUE(FileBytes().WriteAll(path, "new contents"));
    EXPECT_EQ(ReadTestFile(path), "new contents");
  }
}

TEST(FileBytesContract, TheBytesAreWhatTheProfileFunctionsReadAndWrote) {
  const std::string path = NewFolder() + "\\ZEBTEST.INI";
  ASSERT_TRUE(FileBytes().WriteAll(path, "[Net]\r\nContext=OU=Old\r\n"));
  IniFiles ini(Profiles());
  EXPECT_EQ(ini.ReadString(path, "Net", "Context"), "OU=Old");

  ini.WriteString(path, "Net", "Context", "OU=New");
  std::string written;
  ASSERT_EQ(FileBytes().ReadAll(path, &written), FileReadStatus::kRead);
  ASSERT_TRUE(FileBytes().WriteAll(path, "[Net]\r\nContext=OU=Old\r\n"));
  EXPECT_EQ(ini.ReadString(path, "Net", "Context"), "OU=Old");  // no cached copy wins
  EXPECT_NE(written.find("Context=OU=New"), std::string::npos) << written;
}

}  // namespace
}  // namespace zeb::contract
