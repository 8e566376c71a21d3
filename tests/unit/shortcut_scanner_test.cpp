#include "scan/shortcut_scanner.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/file_finder.h"
#include "support/file_scan_setup.h"
#include "support/walk_tree.h"

namespace zeb {
namespace {

using Lines = std::vector<std::string>;
using Status = std::pair<StatusLine, std::string>;

const std::string kDesktop = "C:\\Users\\Bob\\Desktop";
const std::string kStartMenu = "C:\\Users\\Bob\\Start Menu";

// Windows NT spells a path through the tree with the directory's own names; other
// platforms with a tree path.
const std::string kNtAliasTarget = "\\\\ACME_TREE\\Org\\Unit\\SYS\\APPS\\WP.EXE";
const std::string kNtAliasDirectory = "\\\\ACME_TREE\\Org\\Unit\\SYS\\APPS";
const std::string kTreePathAliasTarget = "\\\\ACME_TREE\\.SYS.Unit.Org\\APPS\\WP.EXE";
const std::string kTreePathAliasDirectory = "\\\\ACME_TREE\\.SYS.Unit.Org\\APPS";

class ShortcutScannerTest : public ::testing::Test, protected testing::FileScanSetup {
 protected:
  ShortcutScannerTest() {
    files.MakeFolder(kDesktop);
    files.MakeFolder(kStartMenu);
  }

  void Shortcut(const std::string& path, const MemoryShortcut& fields,
                std::uint32_t attributes = 0) {
    WriteShortcut(files, path, fields, attributes);
  }

  void ScanDesktop() { ShortcutScan(context, "DESKTOP", kDesktop); }

  static std::string Change(int subType, const std::string& path, const std::string& oldText,
                            const std::string& newText) {
    return "2 " + std::to_string(subType) + " " + path + " | " + oldText + " | " + newText;
  }
};

// --- Dereference Aliases -------------------------------------------------------------------

TEST_F(ShortcutScannerTest, OnWindowsNtTargetAndWorkingDirectoryThroughAnAliasedVolume) {
  system.platformId = 2;
  const std::string lnk = kDesktop + "\\WP.lnk";
  // Arguments are never examined in this mode, even when they name an alias.
  Shortcut(lnk, {kNtAliasTarget, kNtAliasDirectory, kNtAliasDirectory});
  ScanDesktop();
  EXPECT_EQ(Changes(),
            (Lines{Change(4, lnk, kNtAliasTarget, "\\\\ACME_TREE\\Org\\Vol1\\APPS\\WP.EXE"),
                   Change(5, lnk, kNtAliasDirectory, "\\\\ACME_TREE\\Org\\Vol1\\APPS")}));
}

TEST_F(ShortcutScannerTest, OnOtherPlatformsTargetAndWorkingDirectoryAsTreePaths) {
  system.platformId = 1;
  const std::string lnk = kDesktop + "\\WP.lnk";
  Shortcut(lnk, {kTreePathAliasTarget, kTreePathAliasDirectory, ""});
  ScanDesktop();
  EXPECT_EQ(Changes(),
            (Lines{Change(4, lnk, kTreePathAliasTarget, "\\\\ACME_TREE\\.Vol1.Org\\APPS\\WP.EXE"),
                   Change(5, lnk, kTreePathAliasDirectory, "\\\\ACME_TREE\\.Vol1.Org\\APPS")}));
}

TEST_F(ShortcutScannerTest, EachPlatformReadsOnlyItsOwnFormOfPath) {
  Shortcut(kDesktop + "\\Nt.lnk", {kNtAliasTarget, "", ""});
  Shortcut(kDesktop + "\\TreePath.lnk", {kTreePathAliasTarget, "", ""});

  system.platformId = 2;
  ScanDesktop();
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].location, kDesktop + "\\Nt.lnk");

  testing::FileScanSetup other;
  other.system.platformId = 1;
  WriteShortcut(other.files, kDesktop + "\\Nt.lnk", {kNtAliasTarget, "", ""});
  WriteShortcut(other.files, kDesktop + "\\TreePath.lnk", {kTreePathAliasTarget, "", ""});
  ShortcutScan(other.context, "DESKTOP", kDesktop);
  ASSERT_EQ(other.changes.size(), 1u);
  EXPECT_EQ(other.changes[0].location, kDesktop + "\\TreePath.lnk");
}

TEST_F(ShortcutScannerTest, TreeNameAndObjectNamesMatchInAnyCase) {
  system.platformId = 2;
  const std::string lnk = kDesktop + "\\wp.lnk";
  Shortcut(lnk, {"\\\\acme_tree\\org\\unit\\sys\\apps\\wp.exe", "", ""});
  ScanDesktop();
  EXPECT_EQ(Changes(), (Lines{Change(4, lnk, "\\\\acme_tree\\org\\unit\\sys\\apps\\wp.exe",
                                     "\\\\ACME_TREE\\Org\\Vol1\\apps\\wp.exe")}));
}

TEST_F(ShortcutScannerTest, WorkingDirectoryIsExaminedWhenTheTargetIsOnTheTreeButNoAlias) {
  for (int platform : {1, 2}) {
    testing::FileScanSetup setup;
    setup.system.platformId = platform;
    const bool nt = platform == 2;
    const std::string lnk = kDesktop + "\\Vol1.lnk";
    WriteShortcut(
        setup.files, lnk,
        {nt ? "\\\\ACME_TREE\\Org\\Vol1\\APPS\\WP.EXE" : "\\\\ACME_TREE\\.Vol1.Org\\WP.EXE",
         nt ? kNtAliasDirectory : kTreePathAliasDirectory, ""});
    ShortcutScan(setup.context, "DESKTOP", kDesktop);
    ASSERT_EQ(setup.changes.size(), 1u) << "platform " << platform;
    EXPECT_EQ(setup.changes[0].subType, kChangeShortcutDirectory);
  }
}

TEST_F(ShortcutScannerTest, TargetsOffTheTreeGiveNothingAndCostNoLookup) {
  for (int platform : {1, 2}) {
    testing::FileScanSetup setup;
    setup.system.platformId = platform;
    // A local target with its working directory through the aliased volume.
    WriteShortcut(setup.files, kDesktop + "\\Local.lnk",
                  {"C:\\APPS\\WP.EXE", kNtAliasDirectory, kNtAliasDirectory});
    WriteShortcut(setup.files, kDesktop + "\\Local2.lnk",
                  {"C:\\APPS\\WP.EXE", kTreePathAliasDirectory, ""});
    WriteShortcut(setup.files, kDesktop + "\\Other.lnk",
                  {"\\\\OTHER_TREE\\Org\\Unit\\SYS\\APPS\\WP.EXE", kNtAliasDirectory, ""});
    WriteShortcut(setup.files, kDesktop + "\\OtherPath.lnk",
                  {"\\\\OTHER\\.SYS.Unit.Org\\APPS\\WP.EXE", "", ""});
    WriteShortcut(setup.files, kDesktop + "\\Empty.lnk", {"", kNtAliasDirectory, ""});
    ShortcutScan(setup.context, "DESKTOP", kDesktop);
    EXPECT_TRUE(setup.Changes().empty()) << "platform " << platform;
    EXPECT_TRUE(setup.directory.lookups.empty()) << "platform " << platform;
  }
}

TEST_F(ShortcutScannerTest, ObjectsThatAreNoAliasGiveNothing) {
  system.platformId = 2;
  Shortcut(kDesktop + "\\Vol1.lnk", {"\\\\ACME_TREE\\Org\\Vol1\\APPS\\WP.EXE", "", ""});
  Shortcut(kDesktop + "\\Sys.lnk", {"\\\\ACME_TREE\\Org\\SYS\\APPS\\WP.EXE", "", ""});
  Shortcut(kDesktop + "\\Nobody.lnk", {"\\\\ACME_TREE\\Nowhere\\APPS\\WP.EXE", "", ""});
  ScanDesktop();
  EXPECT_TRUE(Changes().empty());
  EXPECT_FALSE(directory.lookups.empty());
}

// --- Search and Replace --------------------------------------------------------------------

TEST_F(ShortcutScannerTest, FieldsAreSearchedInTheOrderWorkingDirectoryArgumentsTarget) {
  UseSearchAndReplace("OLDSRV", "NewSrv");
  const std::string lnk = kDesktop + "\\Tool.lnk";
  Shortcut(lnk, {"\\\\oldsrv\\APPS\\TOOL.EXE", "\\\\OLDSRV\\APPS",
                 "/data=\\\\OldSrv\\data /log=\\\\OLDSRV\\log"});
  ScanDesktop();
  // Only the first occurrence is replaced; the replacement keeps its case, the rest its own.
  EXPECT_EQ(Changes(),
            (Lines{Change(5, lnk, "\\\\OLDSRV\\APPS", "\\\\NewSrv\\APPS"),
                   Change(6, lnk, "/data=\\\\OldSrv\\data /log=\\\\OLDSRV\\log",
                          "/data=\\\\NewSrv\\data /log=\\\\OLDSRV\\log"),
                   Change(4, lnk, "\\\\oldsrv\\APPS\\TOOL.EXE", "\\\\NewSrv\\APPS\\TOOL.EXE")}));
}

TEST_F(ShortcutScannerTest, SearchTextInWorkingDirectoryAndTargetGivesTwoChanges) {
  UseSearchAndReplace("apps", "TOOLS");
  const std::string lnk = kDesktop + "\\Local.lnk";
  // A local target can match in this mode.
  Shortcut(lnk, {"C:\\APPS\\WP.EXE", "C:\\Apps", "/quiet"});
  ScanDesktop();
  EXPECT_EQ(Changes(), (Lines{Change(5, lnk, "C:\\Apps", "C:\\TOOLS"),
                              Change(4, lnk, "C:\\APPS\\WP.EXE", "C:\\TOOLS\\WP.EXE")}));
}

TEST_F(ShortcutScannerTest, EmptyReplacementDeletesTheOccurrence) {
  UseSearchAndReplace("\\OLD", "");
  const std::string lnk = kDesktop + "\\Old.lnk";
  Shortcut(lnk, {"C:\\OLD\\APP.EXE", "", "x"});
  ScanDesktop();
  EXPECT_EQ(Changes(), (Lines{Change(4, lnk, "C:\\OLD\\APP.EXE", "C:\\APP.EXE")}));
}

TEST_F(ShortcutScannerTest, OnlyAsciiLettersAreFoldedWhenSearching) {
  UseSearchAndReplace("\xC9QUIPE", "Team");                              // "Equipe" with an E acute
  Shortcut(kDesktop + "\\Lower.lnk", {"C:\\\xE9quipe\\A.EXE", "", ""});  // e acute
  Shortcut(kDesktop + "\\Upper.lnk", {"C:\\\xC9quipe\\A.EXE", "", ""});
  ScanDesktop();
  EXPECT_EQ(
      Changes(),
      (Lines{Change(4, kDesktop + "\\Upper.lnk", "C:\\\xC9quipe\\A.EXE", "C:\\Team\\A.EXE")}));
}

// --- Folders and files ---------------------------------------------------------------------

TEST_F(ShortcutScannerTest, HiddenShortcutIsExaminedButHiddenAndSystemFoldersAreNotEntered) {
  UseSearchAndReplace("OLD", "NEW");
  Shortcut(kDesktop + "\\Hidden.lnk", {"C:\\OLD\\A.EXE", "", ""}, fileattr::kHidden);
  Shortcut(kDesktop + "\\System.lnk", {"C:\\OLD\\B.EXE", "", ""},
           fileattr::kSystem | fileattr::kReadOnly);
  files.MakeFolder(kDesktop + "\\Secret", fileattr::kHidden);
  Shortcut(kDesktop + "\\Secret\\C.lnk", {"C:\\OLD\\C.EXE", "", ""});
  files.MakeFolder(kDesktop + "\\Sys", fileattr::kSystem);
  Shortcut(kDesktop + "\\Sys\\D.lnk", {"C:\\OLD\\D.EXE", "", ""});
  ScanDesktop();
  EXPECT_EQ(Changes(),
            (Lines{Change(4, kDesktop + "\\Hidden.lnk", "C:\\OLD\\A.EXE", "C:\\NEW\\A.EXE"),
                   Change(4, kDesktop + "\\System.lnk", "C:\\OLD\\B.EXE", "C:\\NEW\\B.EXE")}));
}

TEST_F(ShortcutScannerTest, FolderShortcutsComeBeforeThoseOfItsSubfolders) {
  UseSearchAndReplace("OLD", "NEW");
  Shortcut(kDesktop + "\\A\\B\\Deep.lnk", {"C:\\OLD\\1", "", ""});
  Shortcut(kDesktop + "\\A\\Mid.lnk", {"C:\\OLD\\2", "", ""});
  Shortcut(kDesktop + "\\Z.lnk", {"C:\\OLD\\3", "", ""});
  Shortcut(kDesktop + "\\C\\Side.lnk", {"C:\\OLD\\4", "", ""});
  files.WriteFile(kDesktop + "\\readme.txt", "OLD");  // entered as a folder, yields nothing
  files.WriteFile(kDesktop + "\\Not a link.txt", "ZEB-SHORTCUT\n");
  ScanDesktop();
  std::vector<std::string> order;
  for (const ChangeRec& change : changes) order.push_back(change.location);
  EXPECT_EQ(order, (Lines{kDesktop + "\\Z.lnk", kDesktop + "\\A\\Mid.lnk",
                          kDesktop + "\\A\\B\\Deep.lnk", kDesktop + "\\C\\Side.lnk"}));
}

TEST_F(ShortcutScannerTest, DesktopChangesComeBeforeStartMenuChanges) {
  UseSearchAndReplace("OLD", "NEW");
  Shortcut(kStartMenu + "\\A.lnk", {"C:\\OLD\\S", "", ""});
  Shortcut(kDesktop + "\\Z\\Z.lnk", {"C:\\OLD\\D", "", ""});
  ShortcutScan(context, "DESKTOP", kDesktop);
  ShortcutScan(context, "START MENU", kStartMenu);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0].location, kDesktop + "\\Z\\Z.lnk");
  EXPECT_EQ(changes[1].location, kStartMenu + "\\A.lnk");
}

TEST_F(ShortcutScannerTest, EmptyFolderPathWalksTheCurrentDrive) {
  UseSearchAndReplace("OLD", "NEW");
  Shortcut("C:\\Root.lnk", {"C:\\OLD\\R", "", ""});
  Shortcut(kDesktop + "\\D.lnk", {"C:\\OLD\\D", "", ""});
  Shortcut("D:\\Other drive.lnk", {"C:\\OLD\\X", "", ""});
  ShortcutScan(context, "DESKTOP", "");
  std::vector<std::string> order;
  for (const ChangeRec& change : changes) order.push_back(change.location);
  EXPECT_EQ(order, (Lines{"\\Root.lnk", "\\Users\\Bob\\Desktop\\D.lnk"}));
}

TEST_F(ShortcutScannerTest, MissingFolderGivesNothing) {
  UseSearchAndReplace("OLD", "NEW");
  ShortcutScan(context, "DESKTOP", "C:\\No such folder");
  EXPECT_TRUE(Changes().empty());
}

// --- Loading and reading -------------------------------------------------------------------

TEST_F(ShortcutScannerTest, ShortcutsThatCannotBeLoadedAreSkipped) {
  UseSearchAndReplace("OLD", "NEW");
  files.WriteFile(kDesktop + "\\A broken.lnk", "OLD");
  Shortcut(kDesktop + "\\B locked.lnk", {"C:\\OLD\\B", "", ""});
  files.FailReads(kDesktop + "\\B locked.lnk");
  Shortcut(kDesktop + "\\C.lnk", {"C:\\OLD\\C", "", ""});
  ScanDesktop();
  EXPECT_EQ(Changes(), (Lines{Change(4, kDesktop + "\\C.lnk", "C:\\OLD\\C", "C:\\NEW\\C")}));
}

// A shell object that, like some real ones, keeps the last shortcut it held when a load
// fails, and whose getters can fail after writing into the caller's buffer.
class StaleShellLink : public ShellLink {
 public:
  std::map<std::string, MemoryShortcut> shortcuts;  // what loads
  bool failTarget = false, failDirectory = false, failArguments = false;

  bool Load(const std::string& path) override {
    const auto found = shortcuts.find(path);
    if (found == shortcuts.end()) return false;
    held_ = found->second;
    return true;
  }
  bool GetPath(std::string* out) override { return Get(held_.target, failTarget, out); }
  bool GetWorkingDirectory(std::string* out) override {
    return Get(held_.workingDirectory, failDirectory, out);
  }
  bool GetArguments(std::string* out) override { return Get(held_.arguments, failArguments, out); }
  bool SetPath(const std::string&) override { return false; }
  bool SetWorkingDirectory(const std::string&) override { return false; }
  bool SetArguments(const std::string&) override { return false; }
  bool Save(const std::string&) override { return false; }

 private:
  static bool Get(const std::string& field, bool fail, std::string* out) {
    *out = field;
    return !fail;
  }
  MemoryShortcut held_;
};

TEST_F(ShortcutScannerTest, NoFieldOfALoadedShortcutIsTakenForAnUnloadableOnesField) {
  system.platformId = 2;
  StaleShellLink link;
  UseShellLink(link);
  Shortcut(kDesktop + "\\A.lnk", {kNtAliasTarget, "", ""});
  files.WriteFile(kDesktop + "\\B.lnk", "garbage");
  link.shortcuts[kDesktop + "\\A.lnk"] = {kNtAliasTarget, "", ""};
  ScanDesktop();
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].location, kDesktop + "\\A.lnk");
}

TEST_F(ShortcutScannerTest, FieldThatCannotBeReadCountsAsEmpty) {
  UseSearchAndReplace("OLD", "NEW");
  StaleShellLink link;
  UseShellLink(link);
  const std::string lnk = kDesktop + "\\A.lnk";
  Shortcut(lnk, {});
  link.shortcuts[lnk] = {"C:\\OLD\\T", "C:\\OLD\\W", "OLD args"};
  link.failTarget = link.failArguments = true;
  ScanDesktop();
  EXPECT_EQ(Changes(), (Lines{Change(5, lnk, "C:\\OLD\\W", "C:\\NEW\\W")}));
}

TEST_F(ShortcutScannerTest, WithoutAShellObjectEveryShortcutIsSkipped) {
  UseSearchAndReplace("OLD", "NEW");
  context.shellLink = nullptr;
  Shortcut(kDesktop + "\\A.lnk", {"C:\\OLD\\T", "", ""});
  ScanDesktop();
  EXPECT_TRUE(Changes().empty());
}

// --- Progress ------------------------------------------------------------------------------

TEST_F(ShortcutScannerTest, StatusLinesShowTheAreaAndEachShortcut) {
  Shortcut(kDesktop + "\\A.lnk", {"C:\\A.EXE", "", ""});
  Shortcut(kDesktop + "\\Sub\\B.lnk", {"C:\\B.EXE", "", ""});
  ScanDesktop();
  // The area at each folder; plain files are not entered.
  const Status area{StatusLine::kMain3, "DESKTOP"};
  EXPECT_EQ(view.statusHistory,
            (std::vector<Status>{area,
                                 {StatusLine::kMain1, kDesktop + "\\A.lnk"},
                                 area,
                                 {StatusLine::kMain1, kDesktop + "\\Sub\\B.lnk"}}));
  // Pending messages are taken at most every 100 ms: this short walk takes them at its start.
  EXPECT_EQ(view.messagePumps, 1);
}

TEST_F(ShortcutScannerTest, StealthModeShowsOnlyTheAreaOnTheSplashWindow) {
  flags.stealthMode = true;
  Shortcut(kDesktop + "\\A.lnk", {"C:\\A.EXE", "", ""});
  ShortcutScan(context, "START MENU", kDesktop);
  const Status area{StatusLine::kSplash3, "Searching Shortcut Files from START MENU"};
  EXPECT_EQ(view.statusHistory, (std::vector<Status>{area}));  // A.lnk is not entered
}

// --- The sample workstation ----------------------------------------------------------------

// The shortcuts samples/acme/shortcuts.txt describes, made in the memory backend.
class SampleShortcutsTest : public ShortcutScannerTest {
 protected:
  void SetUp() override {
    std::istringstream in(testing::ReadSourceFile("samples/acme/shortcuts.txt"));
    int made = 0;
    for (std::string line; std::getline(in, line);) {
      if (testing::TrimBlanks(line).empty() || testing::TrimBlanks(line)[0] == '#') continue;
      std::vector<std::string> fields;
      std::istringstream split(line);
      for (std::string field; std::getline(split, field, '|');)
        fields.push_back(testing::TrimBlanks(field));
      ASSERT_GE(fields.size(), 5u) << line;
      const std::string path = (fields[0] == "Desktop" ? kDesktop : kStartMenu) + "\\" + fields[1];
      const std::string flags = fields.size() > 5 ? fields[5] : "";
      const std::string folder = path.substr(0, path.rfind('\\'));
      if (flags == "broken")
        files.WriteFile(path, "This file only looks like a shortcut.");
      else
        Shortcut(path, {fields[2], fields[3], fields[4]},
                 flags == "hidden" ? fileattr::kHidden : 0);
      if (flags == "hidden-folder") files.MakeFolder(folder, fileattr::kHidden);
      if (flags == "system-folder") files.MakeFolder(folder, fileattr::kSystem);
      ++made;
    }
    ASSERT_EQ(made, 9);
  }

  void ScanBoth() {
    ShortcutScan(context, "DESKTOP", kDesktop);
    ShortcutScan(context, "START MENU", kStartMenu);
  }
};

TEST_F(SampleShortcutsTest, OneListingPerFolderFindsWhatTheReferenceWalkFinds) {
  for (const ProgramMode mode : {ProgramMode::kDereferenceAliases, ProgramMode::kSearchAndReplace})
    for (const std::string& area : {kDesktop, kStartMenu}) {
      const testing::WalkOutcome reference =
          testing::RunShortcutWalk(workstation, testing::WalkKind::kReference, mode, area);
      const testing::WalkOutcome walk =
          testing::RunShortcutWalk(workstation, testing::WalkKind::kOneListing, mode, area);
      EXPECT_FALSE(reference.detailStatus.empty());
      EXPECT_EQ(walk.changes, reference.changes);
      EXPECT_EQ(walk.lines, reference.lines);
      EXPECT_EQ(walk.detailStatus, reference.detailStatus);
    }
}

TEST_F(SampleShortcutsTest, DereferenceAliasesOnWindowsNt) {
  system.platformId = 2;
  ScanBoth();
  const std::string wp = kDesktop + "\\WordPro.lnk";
  const std::string reports = kStartMenu + "\\Programs\\Acme\\Reports.lnk";
  const std::string sys = "\\\\ACME_TREE\\Org\\Unit\\SYS";
  const std::string vol1 = "\\\\ACME_TREE\\Org\\Vol1";
  EXPECT_EQ(Changes(),
            (Lines{Change(4, kDesktop + "\\Hidden.lnk", sys + "\\APPS\\HIDDEN.EXE",
                          vol1 + "\\APPS\\HIDDEN.EXE"),
                   Change(4, wp, sys + "\\APPS\\WP.EXE", vol1 + "\\APPS\\WP.EXE"),
                   Change(5, wp, sys + "\\APPS", vol1 + "\\APPS"),
                   Change(4, reports, sys + "\\DATA\\REPORT.EXE", vol1 + "\\DATA\\REPORT.EXE"),
                   Change(5, reports, sys + "\\DATA", vol1 + "\\DATA")}));
}

TEST_F(SampleShortcutsTest, SearchAndReplace) {
  UseSearchAndReplace("OLDSRV", "NEWSRV");
  ScanBoth();
  const std::string lnk = kDesktop + "\\Old server.lnk";
  EXPECT_EQ(Changes(),
            (Lines{Change(5, lnk, "\\\\OLDSRV\\APPS", "\\\\NEWSRV\\APPS"),
                   Change(6, lnk, "/data=\\\\oldsrv\\data /log=\\\\OLDSRV\\log",
                          "/data=\\\\NEWSRV\\data /log=\\\\OLDSRV\\log"),
                   Change(4, lnk, "\\\\OLDSRV\\APPS\\TOOL.EXE", "\\\\NEWSRV\\APPS\\TOOL.EXE")}));
}

}  // namespace
}  // namespace zeb
