#include <gtest/gtest.h>

#include "app/scan_run.h"
#include "platform/registry.h"
#include "support/app_harness.h"
#include "support/recording_file_writer.h"

namespace zeb {
namespace {

using testing::AppHarness;
using Log = std::vector<std::string>;

const char kWorkstation[] =
    "Windows Registry Editor Version 5.00\n\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\n"
    "\"Desktop\"=\"C:\\\\Users\\\\Bob\\\\Desktop\"\n"
    "\"Start Menu\"=\"C:\\\\Users\\\\Bob\\\\Start Menu\"\n\n"
    "[HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001]\n\n"
    "[HKEY_LOCAL_MACHINE\\SYSTEM\\MountedDevices]\n\n"
    "[HKEY_LOCAL_MACHINE\\SYSTEM\\Select]\n";

const Log kLock = {"disable Button1",       "disable ProgramMode",     "disable Search",
                   "disable Replace",       "disable SearchDesktop",   "disable SearchStartMenu",
                   "disable SearchINIFiles", "disable SearchRegistry", "cursor hourglass"};

Log Joined(std::initializer_list<Log> parts) {
  Log all;
  for (const Log& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const Log kSystemPass = {"SearchRegistryTree(HKEY_LOCAL_MACHINE, \\SYSTEM\\ControlSet001)",
                         "SearchRegistryTree(HKEY_LOCAL_MACHINE, \\SYSTEM\\MountedDevices)",
                         "SearchRegistryTree(HKEY_LOCAL_MACHINE, \\SYSTEM\\Select)"};

const Log kNothingFound = {"Label1 = No targeted objects found.", "cursor default", "Label2 = ",
                           "Label3 = Workstation Scan Completed", "Label4 = "};

class ScanRunTest : public ::testing::Test {
 protected:
  void SetUp() override { h.registry.ImportRegText(kWorkstation); }
  void StartUp(const std::string& arguments) {
    h.CommandLine(arguments);
    h.StartUp();
    h.ClearLog();
  }
  void Scan() { h.program().OnSearchClick(); }
  // A change found by the given scanner call.
  void FindOneAt(const std::string& call) {
    h.scanners.onCall = [call](ScanContext& context, const std::string& text) {
      if (text == call)
        context.changes.AddChange(hkey::kUsers, kChangeVariableContents, "\\Software\\Acme",
                                  "Server", "CN=New");
    };
  }
  AppHarness h;
};

TEST_F(ScanRunTest, CallsEveryScannerInItsOrderWithTheMainWindowsTexts) {
  StartUp("");
  Scan();
  const Log expected = Joined({kLock,
                               {"FindTree(ACME_TREE)",
                                "ShortcutScan(DESKTOP, C:\\Users\\Bob\\Desktop)",
                                "ShortcutScan(START MENU, C:\\Users\\Bob\\Start Menu)",
                                "Label3 = *.INI Files", "messages", "ScanIniFiles(C:\\WINDOWS)",
                                "Label3 = HKEY_LOCAL_MACHINE", "messages", "ScanClientKeys",
                                "SearchRegistryTree(HKEY_LOCAL_MACHINE, )"},
                               kSystemPass,
                               {"Label3 = HKEY_USERS", "messages",
                                "SearchRegistryTree(HKEY_USERS, )"},
                               kNothingFound});
  EXPECT_EQ(h.log, expected);
  ASSERT_TRUE(h.scanners.seen.has_value());
  EXPECT_EQ(h.scanners.seen->mode, ProgramMode::kDereferenceAliases);
  EXPECT_EQ(h.scanners.seen->treeUserName, "Bob");
  EXPECT_EQ(h.scanners.seen->treeName, "ACME_TREE");
  EXPECT_TRUE(h.scanners.seen->hasShellLink);
  EXPECT_EQ(h.program().State().treeUserName, "Bob");
  EXPECT_EQ(h.shellLinks.created, 1);
  EXPECT_EQ(h.registry.OpenHandleCount(), 0u);
  // Nothing found: both Search and Save stay disabled.
  EXPECT_FALSE(h.main.enabled[MainControl::kSearchButton]);
  EXPECT_FALSE(h.main.enabled[MainControl::kSaveButton]);
}

TEST_F(ScanRunTest, InStealthModeTheStepsGoToTheSplashWindow) {
  StartUp("/STEALTH");
  Scan();
  const Log expected = Joined(
      {kLock,
       {"FindTree(ACME_TREE)", "ShortcutScan(DESKTOP, C:\\Users\\Bob\\Desktop)",
        "ShortcutScan(START MENU, C:\\Users\\Bob\\Start Menu)",
        "Splash.Label3 = Checking *.INI files", "messages", "ScanIniFiles(C:\\WINDOWS)",
        "Splash.Label3 = Checking Specific Registry Keys in HKEY_LOCAL_MACHINE", "messages",
        "ScanClientKeys", "Splash.Label3 = Searching Registry Keys in HKEY_LOCAL_MACHINE",
        "SearchRegistryTree(HKEY_LOCAL_MACHINE, )"},
       kSystemPass,
       {"Splash.Label3 = Searching Registry Keys in HKEY_USERS", "messages",
        "SearchRegistryTree(HKEY_USERS, )"},
       kNothingFound});
  EXPECT_EQ(h.log, expected);
}

TEST_F(ScanRunTest, OnlyWindowsNtSearchesTheSystemSubtreesAgain) {
  h.system.platformId = platformid::kWindows9x;
  StartUp("/NODESK /NOMENU /NOINI");
  Scan();
  for (const std::string& call : kSystemPass) EXPECT_FALSE(h.Logged(call)) << call;
  EXPECT_TRUE(h.Logged("SearchRegistryTree(HKEY_LOCAL_MACHINE, )"));
  EXPECT_TRUE(h.Logged("SearchRegistryTree(HKEY_USERS, )"));
}

TEST_F(ScanRunTest, ASystemKeyThatCannotBeListedSkipsTheExtraPass) {
  h.registry.FailOpen(hkey::kLocalMachine, "SYSTEM");
  EXPECT_TRUE(SystemSubKeyNames(h.registry).empty());

  MemoryRegistry failing;
  failing.ImportRegText(kWorkstation);
  failing.FailEnumeration(hkey::kLocalMachine, "SYSTEM");
  EXPECT_TRUE(SystemSubKeyNames(failing).empty());
  EXPECT_EQ(failing.OpenHandleCount(), 0u);

  StartUp("");
  Scan();
  for (const std::string& call : kSystemPass) EXPECT_FALSE(h.Logged(call)) << call;
  EXPECT_TRUE(h.Logged("SearchRegistryTree(HKEY_USERS, )"));
}

TEST_F(ScanRunTest, SearchAndReplaceSkipsTheClientKeysAndPassesTheTexts) {
  StartUp("/SEARCH=Acme \"/REPLACE=New Acme\"");
  Scan();
  EXPECT_FALSE(h.Logged("ScanClientKeys"));
  EXPECT_TRUE(h.Logged("SearchRegistryTree(HKEY_LOCAL_MACHINE, )"));
  ASSERT_TRUE(h.scanners.seen.has_value());
  EXPECT_EQ(h.scanners.seen->mode, ProgramMode::kSearchAndReplace);
  EXPECT_EQ(h.scanners.seen->search, "Acme");
  EXPECT_EQ(h.scanners.seen->replace, "New Acme");
}

TEST_F(ScanRunTest, WithNoAreaTickedTheRunStillPreparesAndReportsNothingFound) {
  StartUp("/NODESK /NOMENU /NOINI /NOREG");
  Scan();
  EXPECT_EQ(h.log, Joined({kLock, {"FindTree(ACME_TREE)"}, kNothingFound}));
  EXPECT_EQ(h.shellLinks.created, 1);
}

TEST_F(ScanRunTest, MissingShellFoldersGiveEmptyPaths) {
  AppHarness bare;
  bare.StartUp();
  bare.program().OnSearchClick();
  EXPECT_TRUE(bare.Logged("ShortcutScan(DESKTOP, )"));
  EXPECT_TRUE(bare.Logged("ShortcutScan(START MENU, )"));
  EXPECT_TRUE(bare.registry.HasKey(hkey::kCurrentUser,
                                   "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer"));
}

TEST_F(ScanRunTest, AFindingEnablesSave) {
  FindOneAt("SearchRegistryTree(HKEY_USERS, )");
  StartUp("");
  Scan();
  EXPECT_EQ(h.view.lines.size(), 1u);
  EXPECT_EQ(h.view.status[StatusLine::kMain1], "Press the Save button to write changes.");
  EXPECT_EQ(h.view.status[StatusLine::kMain3], "Workstation Scan Completed");
  EXPECT_TRUE(h.main.enabled[MainControl::kSaveButton]);
  EXPECT_FALSE(h.main.enabled[MainControl::kSearchButton]);
  EXPECT_EQ(h.view.cursor, Cursor::kDefault);
}

TEST_F(ScanRunTest, TheReportListsEveryLineAsProposedAtTheEnd) {
  testing::RecordingFileWriter writer;
  ChangeReport report("C:\\zeb.csv", writer, h.view);
  h.reportInUse = &report;
  FindOneAt("SearchRegistryTree(HKEY_USERS, )");
  StartUp("");
  Scan();
  ASSERT_EQ(writer.files.count("C:\\zeb.csv"), 1u);
  const std::string& text = writer.files["C:\\zeb.csv"];
  EXPECT_EQ(text.find("line,ticked,kind,subType,location,oldText,newText,status\r\n"), 3u);
  EXPECT_NE(text.find("\r\n1,1,HKEY_USERS,"), std::string::npos);
  EXPECT_NE(text.find(",proposed\r\n"), std::string::npos);
}

TEST_F(ScanRunTest, ADirectoryThatStoppedAnsweringIsInTheReportOnceAndInTheExitCode) {
  testing::RecordingFileWriter writer;
  ChangeReport report("C:\\zeb.csv", writer, h.view);
  h.reportInUse = &report;
  StartUp("");
  Scan();
  EXPECT_EQ(writer.files["C:\\zeb.csv"].find("message: "), std::string::npos);
  EXPECT_EQ(h.program().State().exitCode.Value(), 0);

  h.directory.failureDuringRun = "The directory server stopped answering.";
  Scan();
  Scan();
  EXPECT_EQ(report.Messages(), std::vector<std::string>{"The directory server stopped answering."});
  EXPECT_NE(writer.files["C:\\zeb.csv"].find(",message: The directory server stopped answering.\r\n"),
            std::string::npos);
  EXPECT_EQ(h.program().State().exitCode.Value(), static_cast<int>(ExitCode::kDirectoryFailed));
  EXPECT_TRUE(h.view.messages.empty());
}

TEST_F(ScanRunTest, ARunThatCannotStartWritesNoReport) {
  testing::RecordingFileWriter writer;
  ChangeReport report("C:\\zeb.csv", writer, h.view);
  h.reportInUse = &report;
  StartUp("/SEARCH=");
  Scan();
  EXPECT_TRUE(writer.files.empty());
}

TEST_F(ScanRunTest, AnEmptySearchTextRefusesTheRunUntilCorrected) {
  StartUp("/SEARCH=");
  Scan();
  EXPECT_EQ(h.log, Log{"message: No search string specified."});
  EXPECT_TRUE(h.main.enabled[MainControl::kSearchButton]);
  EXPECT_TRUE(h.main.enabled[MainControl::kSearchEdit]);

  h.main.search = "   ";  // blanks are a search text
  Scan();
  EXPECT_TRUE(h.Logged("SearchRegistryTree(HKEY_USERS, )"));
  EXPECT_EQ(h.scanners.seen->search, "   ");
  EXPECT_EQ(h.view.messages.size(), 1u);
}

TEST_F(ScanRunTest, AnEmptySearchTextDoesNotMatterWhenDereferencing) {
  StartUp("");
  Scan();
  EXPECT_TRUE(h.view.messages.empty());
  EXPECT_TRUE(h.Logged("ScanClientKeys"));
}

TEST_F(ScanRunTest, WithoutAShortcutObjectTheRunGivesItsControlsBack) {
  StartUp("/SEARCH=x");
  h.shellLinks.available = false;
  Scan();
  EXPECT_EQ(h.view.errors, Log{kShellLinkUnavailable});
  EXPECT_EQ(h.view.cursor, Cursor::kDefault);
  EXPECT_FALSE(h.scanners.seen.has_value());
  for (MainControl control :
       {MainControl::kSearchButton, MainControl::kProgramMode, MainControl::kSearchEdit,
        MainControl::kReplaceEdit, MainControl::kSearchDesktop, MainControl::kSearchRegistry})
    EXPECT_TRUE(h.main.enabled[control]) << testing::ControlName(control);

  h.shellLinks.available = true;
  Scan();
  EXPECT_TRUE(h.Logged("SearchRegistryTree(HKEY_USERS, )"));
}

TEST_F(ScanRunTest, AControlLockedBeforeAnAbandonedRunStaysLocked) {
  StartUp("/AUTO");
  h.directory.treeUsers.clear();
  Scan();
  EXPECT_EQ(h.view.errors, Log{"The directory tree 'ACME_TREE' cannot be found."});
  EXPECT_FALSE(h.main.enabled[MainControl::kSearchButton]);
  EXPECT_FALSE(h.main.enabled[MainControl::kSearchDesktop]);
  EXPECT_TRUE(h.main.enabled[MainControl::kProgramMode]);
  EXPECT_FALSE(h.scanners.seen.has_value());
}

TEST_F(ScanRunTest, AScannerErrorEndsTheRunThroughTheErrorHandler) {
  h.scanners.onCall = [](ScanContext&, const std::string& call) {
    if (call == "ScanIniFiles(C:\\WINDOWS)") throw RegistryError("Failed to get data for 'X'");
  };
  StartUp("");
  Scan();
  EXPECT_EQ(h.view.errors, Log{"Failed to get data for 'X'"});
  EXPECT_FALSE(h.Logged("ScanClientKeys"));
  EXPECT_FALSE(h.Logged("Label3 = Workstation Scan Completed"));
  EXPECT_FALSE(h.main.enabled[MainControl::kSearchButton]);
}

TEST_F(ScanRunTest, ChoosingDereferenceDisablesTheTextsButKeepsThem) {
  StartUp("/SEARCH=abc /REPLACE=def");
  h.main.mode = ProgramMode::kDereferenceAliases;
  h.program().OnProgramModeClick();
  for (MainControl control : {MainControl::kSearchLabel, MainControl::kSearchEdit,
                              MainControl::kReplaceLabel, MainControl::kReplaceEdit})
    EXPECT_FALSE(h.main.enabled[control]) << testing::ControlName(control);
  EXPECT_EQ(h.main.search, "abc");
  EXPECT_EQ(h.main.replace, "def");
  h.main.mode = ProgramMode::kSearchAndReplace;
  h.program().OnProgramModeClick();
  EXPECT_TRUE(h.main.enabled[MainControl::kReplaceEdit]);
}

}  // namespace
}  // namespace zeb
