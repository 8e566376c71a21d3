// File search as the shortcut and INI scanners use it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "contract/backend.h"

namespace zeb::contract {
namespace {

std::vector<std::string> Names(const std::vector<FileEntry>& entries) {
  std::vector<std::string> names;
  for (const FileEntry& entry : entries) names.push_back(entry.name);
  return names;
}

std::vector<std::string> Found(const std::string& pattern) { return Names(Files().FindAll(pattern)); }

using Strings = std::vector<std::string>;

TEST(FilesContract, TheTwoMasksTreatHiddenSystemAndFolderEntries) {
  const std::string folder = NewFolder();
  WriteTestFile(folder + "\\Plain.lnk", "x");
  WriteTestFile(folder + "\\Hidden.lnk", "x", fileattr::kHidden);
  WriteTestFile(folder + "\\System.lnk", "x", fileattr::kSystem);
  WriteTestFile(folder + "\\ReadOnly.lnk", "x", fileattr::kReadOnly);
  MakeFolder(folder + "\\Sub");
  MakeFolder(folder + "\\HiddenSub", fileattr::kHidden);
  MakeFolder(folder + "\\SystemSub", fileattr::kSystem);
  MakeFolder(folder + "\\Dir.lnk");

  EXPECT_EQ(Names(FindMatching(Files(), folder + "\\*.*", fileattr::kFoldersMask)),
            (Strings{".", "..", "Dir.lnk", "Plain.lnk", "ReadOnly.lnk", "Sub"}));
  EXPECT_EQ(Names(FindMatching(Files(), folder + "\\*.LNK", fileattr::kAllFilesMask)),
            (Strings{"Hidden.lnk", "Plain.lnk", "ReadOnly.lnk", "System.lnk"}));

  for (const FileEntry& entry : Files().FindAll(folder + "\\*.*")) {
    SCOPED_TRACE(entry.name);
    const bool folderEntry = entry.name == "." || entry.name == ".." || entry.name == "Dir.lnk" ||
                             entry.name.find("Sub") != std::string::npos;
    EXPECT_EQ((entry.attributes & fileattr::kDirectory) != 0, folderEntry);
    EXPECT_EQ((entry.attributes & fileattr::kHidden) != 0, entry.name.rfind("Hidden", 0) == 0);
    EXPECT_EQ((entry.attributes & fileattr::kSystem) != 0, entry.name.rfind("System", 0) == 0);
    EXPECT_EQ((entry.attributes & fileattr::kReadOnly) != 0, entry.name == "ReadOnly.lnk");
  }
}

TEST(FilesContract, EntriesComeSortedIgnoringCaseAfterDotAndDotDot) {
  const std::string folder = NewFolder();
  for (const char* name : {"b.ini", "A.INI", "_x.ini", "a1.ini", "Z.ini", "~t.ini", "[x].ini",
                           "0.ini", "-.ini", "\xE9" "a.ini", "\xC9" "b.ini"})
    WriteTestFile(folder + "\\" + name, "x");
  MakeFolder(folder + "\\m");
  EXPECT_EQ(Found(folder + "\\*.*"),
            (Strings{".", "..", "-.ini", "0.ini", "A.INI", "a1.ini", "b.ini", "m", "Z.ini",
                     "[x].ini", "_x.ini", "~t.ini", "\xE9" "a.ini", "\xC9" "b.ini"}));
}

TEST(FilesContract, PatternsMatchLongNamesAndTheirShortAliases) {
  const std::string folder = NewFolder();
  for (const char* name : {"verylongname.lnkold", "c.lnkx", "ab+cd.lnk", "e.lnk.txt", "d.ln",
                           "x.y.z", "Plain.LNK"})
    WriteTestFile(folder + "\\" + name, "x");
  // "*.LNK" also selects names whose 8.3 alias ends in ".LNK".
  EXPECT_EQ(Found(folder + "\\*.lnk"),
            (Strings{"ab+cd.lnk", "c.lnkx", "Plain.LNK", "verylongname.lnkold"}));
  EXPECT_EQ(Found(folder + "\\?.LN"), (Strings{"d.ln"}));
  EXPECT_EQ(Found(folder + "\\p*"), (Strings{"Plain.LNK"}));
  EXPECT_EQ(Found(folder + "\\*.*").size(), 9u);
  EXPECT_EQ(Found(folder + "\\VERY~PSN.LNK"), (Strings{"verylongname.lnkold"}));
  EXPECT_EQ(Found(folder + "\\C~~~~F5Q.LNK"), (Strings{"c.lnkx"}));
  EXPECT_EQ(Found(folder + "\\AB_C~HJV.LNK"), (Strings{"ab+cd.lnk"}));
  EXPECT_EQ(Found(folder + "\\x_y~~jtf.z"), (Strings{"x.y.z"}));
  EXPECT_EQ(Found(folder + "\\plain.lnk"), (Strings{"Plain.LNK"}));
}

TEST(FilesContract, MissingFoldersAndFilesAsFoldersListNothing) {
  const std::string folder = NewFolder();
  WriteTestFile(folder + "\\Plain.LNK", "x");
  EXPECT_TRUE(Found(folder + "\\nosuch\\*.*").empty());
  EXPECT_TRUE(Found(folder + "\\Plain.LNK\\*.*").empty());
  EXPECT_TRUE(Found(folder + "\\").empty());
  EXPECT_TRUE(Found(folder + "\\*.INI").empty());
  EXPECT_EQ(Found(NewFolder() + "\\*.*"), (Strings{".", ".."}));
}

}  // namespace
}  // namespace zeb::contract
