// What the memory file backends offer beyond the contract with Windows: failure injection,
// read-only files, the current drive's root and the shortcut file form.
#include <gtest/gtest.h>

#include "platform/memory/memory_file_finder.h"
#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_profiles.h"
#include "platform/memory/memory_shell_links.h"

namespace zeb {
namespace {

struct MemoryFiles {
  MemoryFileSystem files;
  MemoryProfiles profiles{files};
  MemoryFileFinder finder{files};
  MemoryShellLinkFactory links{files};
};

std::vector<std::string> Names(const std::vector<FileEntry>& entries) {
  std::vector<std::string> names;
  for (const FileEntry& entry : entries) names.push_back(entry.name);
  return names;
}

TEST(MemoryFileSystemTest, PathsIgnoreCaseAndSpellingButKeepTheCaseMade) {
  MemoryFileSystem files;
  files.WriteFile("C:\\Windows\\System\\Zeb.Ini", "one");
  EXPECT_EQ(files.ReadFile("c:/WINDOWS/system/ZEB.INI"), "one");
  EXPECT_EQ(files.ReadFile("\\windows\\.\\other\\..\\system\\zeb.ini\\"), "one");
  files.WriteFile("C:\\WINDOWS\\SYSTEM\\ZEB.INI", "two");
  EXPECT_EQ(files.ListFolder("C:\\windows\\system")->back().name, "Zeb.Ini");
  EXPECT_EQ(files.ReadFile("C:\\Windows\\System\\Zeb.Ini"), "two");
  EXPECT_TRUE(files.Exists("C:\\WINDOWS"));
  EXPECT_FALSE(files.ReadFile("C:\\WINDOWS").has_value());
  EXPECT_FALSE(files.Exists("D:\\WINDOWS"));
}

TEST(MemoryFileSystemTest, SetUpMistakesAreRefusedLoudly) {
  MemoryFileSystem files;
  files.WriteFile("C:\\A\\FILE", "x");
  EXPECT_THROW(files.WriteFile("C:\\A\\FILE\\INNER.INI", "x"), std::invalid_argument);
  EXPECT_THROW(files.MakeFolder("C:\\A\\FILE"), std::invalid_argument);
  EXPECT_THROW(files.WriteFile("C:\\A", "x"), std::invalid_argument);
  EXPECT_THROW(files.WriteFile("\\\\SERVER\\SHARE\\X.INI", "x"), std::invalid_argument);
}

TEST(MemoryFileSystemTest, FilesAreArchiveAndFoldersKeepTheirAttributes) {
  MemoryFileSystem files;
  files.WriteFile("C:\\F\\A.LNK", "x", fileattr::kHidden);
  files.MakeFolder("C:\\F\\SUB", fileattr::kSystem);
  const std::vector<FileEntry> entries = *files.ListFolder("C:\\F");
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[2].attributes, fileattr::kHidden | fileattr::kArchive);
  EXPECT_EQ(entries[3].attributes, fileattr::kSystem | fileattr::kDirectory);
}

TEST(MemoryFileSystemTest, AnEmptyFolderPathSearchesTheRootOfDriveC) {
  MemoryFiles m;
  m.files.WriteFile("C:\\ROOT.LNK", "x");
  m.files.WriteFile("C:\\Desktop\\DEEP.LNK", "x");
  EXPECT_EQ(Names(m.finder.FindAll("\\*.LNK")), (std::vector<std::string>{"ROOT.LNK"}));
  EXPECT_EQ(Names(m.finder.FindAll("\\*.*")), (std::vector<std::string>{"Desktop", "ROOT.LNK"}));
}

TEST(MemoryFileSystemTest, AnUnreadableFileReadsAsDefaultsAndCannotBeWritten) {
  MemoryFiles m;
  m.files.WriteFile("C:\\W\\LOCKED.INI", "[A]\r\nk=v\r\n");
  WriteShortcut(m.files, "C:\\W\\LOCKED.LNK", {"C:\\APP.EXE", "", ""});
  m.files.FailReads("c:\\w\\locked.ini");
  m.files.FailReads("C:\\W\\LOCKED.LNK");
  EXPECT_TRUE(m.files.Exists("C:\\W\\LOCKED.INI"));
  EXPECT_FALSE(m.files.ReadFile("C:\\W\\LOCKED.INI").has_value());
  EXPECT_EQ(m.profiles.GetString("A", "k", "D", 1024, "C:\\W\\LOCKED.INI"), "D");
  EXPECT_EQ(m.profiles.GetString(std::nullopt, std::nullopt, "D", 1024, "C:\\W\\LOCKED.INI"), "");
  EXPECT_FALSE(m.profiles.WriteString("A", "k", "w", "C:\\W\\LOCKED.INI"));
  EXPECT_FALSE(m.profiles.WriteString("A", "k", std::nullopt, "C:\\W\\LOCKED.INI"));
  EXPECT_FALSE(m.links.Create()->Load("C:\\W\\LOCKED.LNK"));
}

TEST(MemoryFileSystemTest, FailedAndReadOnlyWritesChangeNothing) {
  MemoryFiles m;
  const std::string original = "[A]\r\n k = v \r\n";
  m.files.WriteFile("C:\\W\\FAIL.INI", original);
  m.files.WriteFile("C:\\W\\RO.INI", original, fileattr::kReadOnly);
  m.files.FailWrites("C:\\W\\FAIL.INI");
  m.files.FailWrites("C:\\W\\NEW.INI");
  for (const char* file : {"C:\\W\\FAIL.INI", "C:\\W\\RO.INI"}) {
    SCOPED_TRACE(file);
    EXPECT_EQ(m.profiles.GetString("A", "k", "", 1024, file), "v");
    // Even a write that would change nothing fails: the file is opened for writing first.
    EXPECT_FALSE(m.profiles.WriteString("A", "k", "v", file));
    EXPECT_FALSE(m.profiles.WriteString("A", "k", "w", file));
    EXPECT_EQ(m.files.ReadFile(file), original);
  }
  EXPECT_FALSE(m.profiles.WriteString("A", "k", "v", "C:\\W\\NEW.INI"));
  EXPECT_FALSE(m.files.Exists("C:\\W\\NEW.INI"));

  WriteShortcut(m.files, "C:\\W\\RO.LNK", {"C:\\OLD.EXE", "", ""}, fileattr::kReadOnly);
  const std::unique_ptr<ShellLink> link = m.links.Create();
  ASSERT_TRUE(link->Load("C:\\W\\RO.LNK"));
  EXPECT_TRUE(link->SetPath("C:\\NEW.EXE"));
  EXPECT_FALSE(link->Save("C:\\W\\RO.LNK"));
  EXPECT_FALSE(link->Save("C:\\W\\NEW.INI"));
  EXPECT_EQ(ReadShortcut(m.files, "C:\\W\\RO.LNK")->target, "C:\\OLD.EXE");
}

TEST(MemoryShortcutTest, TheFileFormRoundTripsAnyFieldText) {
  MemoryFileSystem files;
  const MemoryShortcut odd{"C:\\A:B\\x.exe", "line\none\n", "12:\n3:"};
  WriteShortcut(files, "C:\\ODD.LNK", odd, fileattr::kHidden);
  EXPECT_EQ(ReadShortcut(files, "C:\\ODD.LNK"), odd);
  const std::string bytes = *files.ReadFile("C:\\ODD.LNK");
  for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
    files.WriteFile("C:\\CUT.LNK", bytes.substr(0, cut));
    EXPECT_FALSE(ReadShortcut(files, "C:\\CUT.LNK").has_value()) << cut;
  }
  files.WriteFile("C:\\LONGER.LNK", bytes + "x");
  EXPECT_FALSE(ReadShortcut(files, "C:\\LONGER.LNK").has_value());
  EXPECT_FALSE(ReadShortcut(files, "C:\\MISSING.LNK").has_value());
}

TEST(MemoryShortcutTest, SavingThroughTheObjectWritesTheFileForm) {
  MemoryFiles m;
  m.files.MakeFolder("C:\\S");
  const std::unique_ptr<ShellLink> link = m.links.Create();
  EXPECT_TRUE(link->SetPath("\\\\TREE\\VOL\\APP.EXE"));
  EXPECT_TRUE(link->SetWorkingDirectory("\\\\TREE\\VOL"));
  EXPECT_TRUE(link->SetArguments(std::string(600, 'a')));
  ASSERT_TRUE(link->Save("C:\\S\\APP.LNK"));
  const MemoryShortcut saved{"\\\\TREE\\VOL\\APP.EXE", "\\\\TREE\\VOL", std::string(600, 'a')};
  EXPECT_EQ(ReadShortcut(m.files, "C:\\S\\APP.LNK"), saved);
}

TEST(MemoryShortcutTest, CreationCanBeMadeToFail) {
  MemoryFiles m;
  EXPECT_NE(m.links.Create(), nullptr);
  m.links.FailCreate();
  EXPECT_EQ(m.links.Create(), nullptr);
}

}  // namespace
}  // namespace zeb
