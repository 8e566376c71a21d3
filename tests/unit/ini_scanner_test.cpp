#include "scan/ini_scanner.h"

#include <gtest/gtest.h>

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

const std::string kWindows = "C:\\WINDOWS";
const std::string kIni = kWindows + "\\ZEB.INI";

class IniScannerTest : public ::testing::Test, protected testing::FileScanSetup {
 protected:
  IniScannerTest() { files.MakeFolder(kWindows); }

  void Ini(const std::string& text, const std::string& path = kIni, std::uint32_t attributes = 0) {
    files.WriteFile(path, text, attributes);
  }

  void Scan() { ScanIniFiles(context, kWindows); }

  static std::string Change(int subType, const std::string& oldText, const std::string& newText,
                            const std::string& path = kIni) {
    return "1 " + std::to_string(subType) + " " + path + " | " + oldText + " | " + newText;
  }
};

// --- Dereference Aliases -------------------------------------------------------------------

TEST_F(IniScannerTest, ValueNamingAnAliasIsProposedAsTheAliasedObject) {
  Ini("[Printers]\r\n"
      "Default=\\\\ACME_TREE\\.Q1.Sales.Acme\r\n"
      "Owner=\\\\acme_tree\\.bob.sales.acme\r\n");
  Scan();
  EXPECT_EQ(Changes(),
            (Lines{Change(3, "[Printers]Default", "\\\\ACME_TREE\\Q2.Sales.Acme"),
                   Change(3, "[Printers]Owner", "\\\\ACME_TREE\\Robert.Marketing.Acme")}));
}

TEST_F(IniScannerTest, NameAndValueBothNamingAliasesGiveTwoChangesNameFirst) {
  Ini("[Mail]\r\n\\\\ACME_TREE\\.Bob.Sales.Acme=\\\\ACME_TREE\\.SYS.Unit.Org\r\n");
  Scan();
  const std::string oldText = "[Mail]\\\\ACME_TREE\\.Bob.Sales.Acme";
  EXPECT_EQ(Changes(), (Lines{Change(2, oldText, "\\\\ACME_TREE\\Robert.Marketing.Acme"),
                              Change(3, oldText, "\\\\ACME_TREE\\Vol1.Org")}));
}

TEST_F(IniScannerTest, TypefulValueHoldingEqualsSignsIsReadWhole) {
  Ini("[Printers]\r\nTypeful=\\\\ACME_TREE\\.CN=Q1.OU=Sales.O=Acme\r\n");
  Scan();
  EXPECT_EQ(Changes(), (Lines{Change(3, "[Printers]Typeful", "\\\\ACME_TREE\\Q2.Sales.Acme")}));
}

TEST_F(IniScannerTest, TreeNameWithoutAnAliasGivesNothing) {
  Ini("[Printers]\r\n"
      "Backup=\\\\ACME_TREE\\.Q2.Sales.Acme\r\n"
      "Missing=\\\\ACME_TREE\\.Nobody.Sales.Acme\r\n"
      "Tree=\\\\ACME_TREE\r\n"
      "Marker=ACME_TREE\r\n");
  Scan();
  EXPECT_TRUE(Changes().empty());
  EXPECT_FALSE(directory.lookups.empty());
}

TEST_F(IniScannerTest, TextsWithoutTheTreeNameCostNoLookup) {
  Ini("[Printers]\r\n"
      "Local=C:\\APPS\\WP.EXE\r\n"
      "Foreign=\\\\OTHER\\.Q1.Sales.Acme\r\n");
  Scan();
  EXPECT_TRUE(Changes().empty());
  EXPECT_TRUE(directory.lookups.empty());
}

TEST_F(IniScannerTest, SameVariableInTwoSectionsGivesTwoChanges) {
  Ini("[Printers]\r\nDefault=\\\\ACME_TREE\\.Q1.Sales.Acme\r\n"
      "[Fax]\r\nDefault=\\\\ACME_TREE\\.Q1.Sales.Acme\r\n");
  Scan();
  EXPECT_EQ(Changes(), (Lines{Change(3, "[Printers]Default", "\\\\ACME_TREE\\Q2.Sales.Acme"),
                              Change(3, "[Fax]Default", "\\\\ACME_TREE\\Q2.Sales.Acme")}));
}

// --- Search and Replace --------------------------------------------------------------------

TEST_F(IniScannerTest, SearchIgnoresAsciiCaseBothWaysAndReplacesTheFirstOccurrence) {
  Ini("[Servers]\r\n"
      "Path=\\\\oldsrv\\data\\oldsrv\r\n"
      "Other=\\\\OLDSRV\\x\r\n");
  UseSearchAndReplace("OLDSRV", "NewSrv");
  Scan();
  EXPECT_EQ(Changes(), (Lines{Change(3, "[Servers]Path", "\\\\NewSrv\\data\\oldsrv"),
                              Change(3, "[Servers]Other", "\\\\NewSrv\\x")}));

  testing::FileScanSetup lower;
  lower.files.WriteFile(kIni, "[Servers]\r\nOther=\\\\OLDSRV\\x\r\n");
  lower.UseSearchAndReplace("oldsrv", "n");
  ScanIniFiles(lower.context, kWindows);
  EXPECT_EQ(lower.Changes(), (Lines{Change(3, "[Servers]Other", "\\\\n\\x")}));
}

TEST_F(IniScannerTest, NameAndValueHoldingTheSearchTextGiveTwoChangesNameFirst) {
  Ini("[Servers]\r\nOLDSRV_Backup=\\\\OLDSRV\\backup\r\n");
  UseSearchAndReplace("oldsrv", "NEWSRV");
  Scan();
  EXPECT_EQ(Changes(), (Lines{Change(2, "[Servers]OLDSRV_Backup", "NEWSRV_Backup"),
                              Change(3, "[Servers]OLDSRV_Backup", "\\\\NEWSRV\\backup")}));
}

TEST_F(IniScannerTest, ValueHoldingEqualsSignsKeepsItsName) {
  Ini("[Servers]\r\nQuery=server=OLDSRV;port=1\r\nserver=x\r\n");
  UseSearchAndReplace("server=", "host=");
  Scan();
  // "server" alone names the second variable; neither name holds "server=".
  EXPECT_EQ(Changes(), (Lines{Change(3, "[Servers]Query", "host=OLDSRV;port=1")}));
}

TEST_F(IniScannerTest, EmptyReplacementDeletesTheOccurrence) {
  Ini("[Servers]\r\nPath=\\\\OLDSRV\\data\r\n");
  UseSearchAndReplace("\\data", "");
  Scan();
  EXPECT_EQ(Changes(), (Lines{Change(3, "[Servers]Path", "\\\\OLDSRV")}));
}

TEST_F(IniScannerTest, VariableWithAnEmptyValueIsNotExamined) {
  Ini("[Servers]\r\nOLDSRV=\r\nOLDSRV2=  \r\n");
  UseSearchAndReplace("OLDSRV", "NEWSRV");
  Scan();
  EXPECT_TRUE(Changes().empty());
  for (const Status& status : view.statusHistory)  // no variable was shown
    EXPECT_FALSE(status.first == StatusLine::kMain4 && !status.second.empty()) << status.second;
}

TEST_F(IniScannerTest, AVariableNamedTwiceInASectionIsExaminedOnce) {
  Ini("[Servers]\r\nPath=OLDSRV\r\nPATH=OLDSRV too\r\n");
  UseSearchAndReplace("OLDSRV", "NEWSRV");
  Scan();
  EXPECT_EQ(Changes(), (Lines{Change(3, "[Servers]Path", "NEWSRV")}));
}

// --- Long values ---------------------------------------------------------------------------

TEST_F(IniScannerTest, LongValueIsExaminedInItsFirst255BytesAndKeptWhole) {
  const std::string head = "\\\\OLDSRV\\share;";
  const std::string found = head + std::string(280, 'x') + "OLDSRV";
  const std::string beyond = std::string(250, 'y') + "OLDSRV";  // ends at byte 256
  const std::string within = std::string(249, 'z') + "OLDSRV";  // ends at byte 255
  Ini("[Servers]\r\nFound=" + found + "\r\nBeyond=" + beyond + "\r\nWithin=" + within + "\r\n");
  UseSearchAndReplace("OLDSRV", "NEWSRV");
  Scan();
  EXPECT_EQ(
      Changes(),
      (Lines{Change(3, "[Servers]Found", "\\\\NEWSRV\\share;" + std::string(280, 'x') + "OLDSRV"),
             Change(3, "[Servers]Within", std::string(249, 'z') + "NEWSRV")}));
}

TEST_F(IniScannerTest, ValueThatFillsTheReadBufferIsNotProposed) {
  // 1023 bytes come back whether the value has 1023 bytes or more, so a value that long
  // may have been cut and is left alone; its name is still examined.
  const std::string filled = "OLDSRV" + std::string(1017, 'x');
  const std::string longer = "OLDSRV" + std::string(2000, 'x');
  const std::string fits = "OLDSRV" + std::string(1016, 'x');
  Ini("[Servers]\r\nFilled=" + filled + "\r\nLonger=" + longer + "\r\nFits=" + fits +
      "\r\nOLDSRV=" + longer + "\r\n");
  UseSearchAndReplace("OLDSRV", "NEWSRV");
  Scan();
  EXPECT_EQ(Changes(), (Lines{Change(3, "[Servers]Fits", "NEWSRV" + std::string(1016, 'x')),
                              Change(2, "[Servers]OLDSRV", "NEWSRV")}));
}

// --- Folders and files ---------------------------------------------------------------------

TEST_F(IniScannerTest, SubfoldersAndHiddenFilesAreScannedButHiddenAndSystemFoldersAreNot) {
  UseSearchAndReplace("OLDSRV", "NEWSRV");
  const std::string entry = "[S]\r\nV=OLDSRV\r\n";
  Ini(entry, kWindows + "\\B.INI");
  Ini(entry, kWindows + "\\HIDDEN.INI", fileattr::kHidden);
  Ini(entry, kWindows + "\\SYSTEM.INI", fileattr::kSystem | fileattr::kReadOnly);
  Ini(entry, kWindows + "\\system32\\sub\\DEEP.INI");
  Ini(entry, kWindows + "\\A.TXT");
  files.MakeFolder(kWindows + "\\hidden", fileattr::kHidden);
  Ini(entry, kWindows + "\\hidden\\H.INI");
  files.MakeFolder(kWindows + "\\sys", fileattr::kSystem);
  Ini(entry, kWindows + "\\sys\\S.INI");
  Scan();
  std::vector<std::string> scanned;
  for (const ChangeRec& change : changes) scanned.push_back(change.location);
  EXPECT_EQ(scanned, (Lines{kWindows + "\\B.INI", kWindows + "\\HIDDEN.INI",
                            kWindows + "\\SYSTEM.INI", kWindows + "\\system32\\sub\\DEEP.INI"}));
}

TEST_F(IniScannerTest, UnreadableOrMissingFilesGiveNothing) {
  UseSearchAndReplace("OLDSRV", "NEWSRV");
  Ini("[S]\r\nV=OLDSRV\r\n", kWindows + "\\LOCKED.INI");
  files.FailReads(kWindows + "\\LOCKED.INI");
  Ini("no section at all\r\nV=OLDSRV\r\n", kWindows + "\\PLAIN.INI");
  Scan();
  ScanIniFiles(context, "C:\\No such folder");
  EXPECT_TRUE(Changes().empty());
}

// --- Progress ------------------------------------------------------------------------------

TEST_F(IniScannerTest, StatusLinesShowFileSectionAndVariableThenClearTheLastTwo) {
  Ini("[One]\r\nA=1\r\nEmpty=\r\n[Two]\r\nB=2\r\n");
  Scan();
  EXPECT_EQ(view.statusHistory, (std::vector<Status>{{StatusLine::kMain1, kIni},
                                                     {StatusLine::kMain2, "[One]"},
                                                     {StatusLine::kMain4, "A"},
                                                     {StatusLine::kMain2, "[Two]"},
                                                     {StatusLine::kMain4, "B"},
                                                     {StatusLine::kMain2, ""},
                                                     {StatusLine::kMain4, ""}}));
  EXPECT_EQ(view.listRepaints, 2);  // once per section
  // Pending messages are taken at most every 100 ms: this short walk takes them at its start.
  EXPECT_EQ(view.messagePumps, 1);
}

TEST_F(IniScannerTest, StealthModeOnlyClearsTheDetailLines) {
  flags.stealthMode = true;
  Ini("[One]\r\nA=1\r\n");
  Scan();
  EXPECT_EQ(view.statusHistory,
            (std::vector<Status>{{StatusLine::kMain2, ""}, {StatusLine::kMain4, ""}}));
}

// --- The sample workstation ----------------------------------------------------------------

// samples/acme/windows copied into C:\WINDOWS, with the attributes attributes.txt gives.
class SampleWindowsTest : public IniScannerTest {
 protected:
  void SetUp() override {
    const char* const samples[] = {"ZEBDEMO.INI", "ZEBHIDDN.INI", "zebdemo\\ZEBSUB.INI",
                                   "zebdemo\\zebhide\\ZEBHIDE.INI", "zebsys\\ZEBSYS.INI"};
    for (const std::string relative : samples) {
      std::string slashed = relative;
      for (char& c : slashed)
        if (c == '\\') c = '/';
      const std::string bytes = testing::ReadSourceFile("samples/acme/windows/" + slashed);
      ASSERT_FALSE(bytes.empty()) << relative;
      files.WriteFile(kWindows + "\\" + relative, bytes);
    }
    std::istringstream attributes(testing::ReadSourceFile("samples/acme/attributes.txt"));
    int applied = 0;
    for (std::string line; std::getline(attributes, line);) {
      const std::size_t bar = line.find('|');
      if (line.empty() || line[0] == '#' || bar == std::string::npos) continue;
      const std::string path = kWindows + "\\" + testing::TrimBlanks(line.substr(0, bar));
      const std::string what = testing::TrimBlanks(line.substr(bar + 1));
      const std::uint32_t attribute = what == "hidden" ? fileattr::kHidden : fileattr::kSystem;
      if (const auto bytes = files.ReadFile(path))
        files.WriteFile(path, *bytes, attribute);
      else
        files.MakeFolder(path, attribute);
      ++applied;
    }
    ASSERT_EQ(applied, 3);
  }
};

TEST_F(SampleWindowsTest, OneListingPerFolderFindsWhatTheReferenceWalkFinds) {
  for (const ProgramMode mode : {ProgramMode::kDereferenceAliases, ProgramMode::kSearchAndReplace}) {
    const testing::WalkOutcome reference =
        testing::RunIniWalk(workstation, testing::WalkKind::kReference, mode, kWindows);
    const testing::WalkOutcome walk =
        testing::RunIniWalk(workstation, testing::WalkKind::kOneListing, mode, kWindows);
    EXPECT_FALSE(reference.changes.empty());
    EXPECT_EQ(walk.changes, reference.changes);
    EXPECT_EQ(walk.lines, reference.lines);
    EXPECT_EQ(walk.detailStatus, reference.detailStatus);
  }
}

TEST_F(SampleWindowsTest, DereferenceAliases) {
  Scan();
  const std::string demo = kWindows + "\\ZEBDEMO.INI";
  const std::string q2 = "\\\\ACME_TREE\\Q2.Sales.Acme";
  const std::string robert = "\\\\ACME_TREE\\Robert.Marketing.Acme";
  EXPECT_EQ(
      Changes(),
      (Lines{Change(3, "[Printers]Default", q2, demo), Change(3, "[Printers]Typeful", q2, demo),
             Change(3, "[Mail]Owner", robert, demo),
             Change(2, "[Mail]\\\\ACME_TREE\\.Bob.Sales.Acme", robert, demo),
             Change(3, "[Mail]\\\\ACME_TREE\\.Bob.Sales.Acme", "\\\\ACME_TREE\\Vol1.Org", demo),
             Change(3, "[Fax]Default", q2, demo),
             Change(3, "[Hidden]User", robert, kWindows + "\\ZEBHIDDN.INI"),
             Change(3, "[Volumes]Apps", "\\\\ACME_TREE\\Vol1.Org",
                    kWindows + "\\zebdemo\\ZEBSUB.INI")}));
}

TEST_F(SampleWindowsTest, SearchAndReplace) {
  UseSearchAndReplace("OLDSRV", "NEWSRV");
  Scan();
  const std::string demo = kWindows + "\\ZEBDEMO.INI";
  EXPECT_EQ(Changes(),
            (Lines{Change(3, "[Servers]Path", "\\\\NEWSRV\\data\\oldsrv", demo),
                   Change(2, "[Servers]OLDSRV_Backup", "NEWSRV_Backup", demo),
                   Change(3, "[Servers]OLDSRV_Backup", "\\\\NEWSRV\\backup", demo),
                   Change(3, "[Servers]Query", "server=NEWSRV;port=1", demo),
                   Change(3, "[Servers]Long", "\\\\NEWSRV\\share;" + std::string(280, 'x'), demo),
                   Change(3, "[Volumes]Mirror", "\\\\NEWSRV\\APPS",
                          kWindows + "\\zebdemo\\ZEBSUB.INI")}));
}

}  // namespace
}  // namespace zeb
