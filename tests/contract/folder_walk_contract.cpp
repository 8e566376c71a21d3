// The file scanners' walks of one listing per folder, held to the reference walk of a pattern
// search and a folder search per folder over the same tree: every change record, check-list
// line and status text the same, in the same order.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "contract/backend.h"
#include "scan/folder_walk.h"
#include "support/walk_tree.h"

namespace zeb::contract {
namespace {

using testing::WalkKind;
using testing::WalkOutcome;
using Strings = std::vector<std::string>;

Workstation ContractWorkstation() {
  return Workstation{Registry(), Profiles(), Files(), ShellLinks(), System(), FileBytes()};
}

testing::TreeMaker Maker() {
  return testing::TreeMaker{&MakeFolder, &WriteTestFile, &ReadTestFile, ShellLinks()};
}

// The tree is made once per program: under Wine every file is a real one.
const std::string& WalkTree() {
  static const std::string root = [] {
    const std::string folder = NewFolder() + "\\walk";
    testing::MakeWalkTree(Maker(), folder, 20261208, 60);
    return folder;
  }();
  return root;
}

bool Mentions(const Strings& changes, const std::string& path) {
  return std::any_of(changes.begin(), changes.end(), [&](const std::string& change) {
    return change.find(" " + path + " | ") != std::string::npos;
  });
}

void ExpectSameOutcome(const WalkOutcome& reference, const WalkOutcome& walk) {
  EXPECT_EQ(walk.changes, reference.changes);
  EXPECT_EQ(walk.lines, reference.lines);
  EXPECT_EQ(walk.detailStatus, reference.detailStatus);
}

void ExpectTheTreeWasCovered(const Strings& changes, const std::string& extension) {
  auto matches = [&](const std::string& path) {
    const std::string lower = [&] {
      std::string text = path;
      std::transform(text.begin(), text.end(), text.begin(), ::tolower);
      return text;
    }();
    return lower.find(extension) != std::string::npos;
  };
  for (const std::string& path : testing::WalkTreeReached(WalkTree()))
    if (matches(path)) {
      EXPECT_TRUE(Mentions(changes, path)) << path << " was not scanned";
    }
  for (const std::string& path : testing::WalkTreeNotReached(WalkTree()))
    EXPECT_FALSE(Mentions(changes, path)) << path << " was scanned";
}

class FolderWalkContract : public ::testing::TestWithParam<ProgramMode> {};

TEST_P(FolderWalkContract, IniWalkFindsWhatTheReferenceWalkFinds) {
  Workstation workstation = ContractWorkstation();
  const WalkOutcome reference =
      testing::RunIniWalk(workstation, WalkKind::kReference, GetParam(), WalkTree());
  const WalkOutcome walk =
      testing::RunIniWalk(workstation, WalkKind::kOneListing, GetParam(), WalkTree());
  ExpectSameOutcome(reference, walk);
  EXPECT_GT(reference.changes.size(), 30u);
  ExpectTheTreeWasCovered(reference.changes, ".ini");
}

TEST_P(FolderWalkContract, ShortcutWalkFindsWhatTheReferenceWalkFinds) {
  Workstation workstation = ContractWorkstation();
  const WalkOutcome reference =
      testing::RunShortcutWalk(workstation, WalkKind::kReference, GetParam(), WalkTree());
  const WalkOutcome walk =
      testing::RunShortcutWalk(workstation, WalkKind::kOneListing, GetParam(), WalkTree());
  ExpectSameOutcome(reference, walk);
  EXPECT_GT(reference.changes.size(), 10u);
  ExpectTheTreeWasCovered(reference.changes, ".lnk");
}

INSTANTIATE_TEST_SUITE_P(BothModes, FolderWalkContract,
                         ::testing::Values(ProgramMode::kDereferenceAliases,
                                           ProgramMode::kSearchAndReplace));

Strings Names(const std::vector<FileEntry>& entries, bool foldersOnly) {
  Strings names;
  for (const FileEntry& entry : entries)
    if (!foldersOnly || ((entry.attributes & fileattr::kDirectory) && entry.name[0] != '.'))
      names.push_back(entry.name);
  return names;
}

Strings Leaves(const Strings& paths) {
  Strings names;
  for (const std::string& path : paths) names.push_back(path.substr(path.rfind('\\') + 1));
  return names;
}

TEST(FolderListingContract, OneListingSplitsAsThePatternAndFolderSearchesReport) {
  const std::string folder = NewFolder();
  for (const char* name : {"A.INI", "b.ini", "old.inix", "verylongname.iniold", "x.ini.bak",
                           "ab+cd.ini", ".dot.ini", "Plain.txt", "C.LNK", "c.lnkx"})
    WriteTestFile(folder + "\\" + name, "x");
  WriteTestFile(folder + "\\HIDDEN.INI", "x", fileattr::kHidden);
  WriteTestFile(folder + "\\SYSTEM.INI", "x", fileattr::kSystem | fileattr::kReadOnly);
  MakeFolder(folder + "\\Dir.ini");
  MakeFolder(folder + "\\sub");
  MakeFolder(folder + "\\HiddenSub", fileattr::kHidden);
  MakeFolder(folder + "\\SystemSub", fileattr::kSystem);
  MakeFolder(folder + "\\.dotsub");
  MakeFolder(folder + "\\long folder name.ini");

  for (const char* pattern : {"*.INI", "*.LNK"}) {
    SCOPED_TRACE(pattern);
    const FolderContents contents = ListFolder(Files(), folder, pattern);
    EXPECT_EQ(Leaves(contents.files),
              Names(FindMatching(Files(), folder + "\\" + pattern, fileattr::kAllFilesMask), false));
    EXPECT_EQ(Leaves(contents.subfolders),
              Names(FindMatching(Files(), folder + "\\*.*", fileattr::kFoldersMask), true));
  }
  // The pattern search reports the short-name matches, so the listing must too.
  EXPECT_EQ(Leaves(ListFolder(Files(), folder, "*.INI").files),
            (Strings{".dot.ini", "A.INI", "ab+cd.ini", "b.ini", "HIDDEN.INI", "old.inix",
                     "SYSTEM.INI", "verylongname.iniold"}));
  EXPECT_EQ(Leaves(ListFolder(Files(), folder, "*.INI").subfolders),
            (Strings{"Dir.ini", "long folder name.ini", "sub"}));
}

TEST(FolderListingContract, ListingGivesTheShortNamesTheSearchMatches) {
  const std::string folder = NewFolder();
  for (const char* name : {"verylongname.lnkold", "c.lnkx", "ab+cd.lnk", "Plain.LNK", "b.ini"})
    WriteTestFile(folder + "\\" + name, "x");
  Strings shortNames;
  for (const FileEntry& entry : Files().FindAll(folder + "\\*"))
    shortNames.push_back(entry.name + "=" + entry.shortName);
  EXPECT_EQ(shortNames, (Strings{".=", "..=", "ab+cd.lnk=AB_C~HJV.LNK", "b.ini=",
                                 "c.lnkx=C~~~~F5Q.LNK", "Plain.LNK=",
                                 "verylongname.lnkold=VERY~PSN.LNK"}));
  EXPECT_EQ(ListFolder(Files(), folder + "\\nosuch", "*.LNK").files, Strings{});
}

}  // namespace
}  // namespace zeb::contract
