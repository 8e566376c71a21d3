// Runs across a fleet: the run mode read from the command line, quiet boxes and progress,
// report-only runs, and the exit code every way of ending gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/command_line.h"
#include "app/run_mode.h"
#include "app/run_outlets.h"
#include "app/scan_run.h"
#include "app/startup.h"
#include "app/usage.h"
#include "app/workstation_saver.h"
#include "support/app_harness.h"
#include "support/recording_file_writer.h"

namespace zeb {
namespace {

using testing::AppHarness;
using Messages = std::vector<std::string>;

int Code(ExitCode code) { return static_cast<int>(code); }

// --- The run mode ----------------------------------------------------------------------------

TEST(RunModeTest, SwitchesInAnyCaseAndPathsWithTheirVariablesExpanded) {
  MemorySystem system;
  system.environment["COMPUTERNAME"] = "WS042";
  system.environment["SHARE"] = "\\\\server\\zeb$";
  const RunMode mode = ReadRunMode(
      ProgramArguments("zeb.exe /quiet /ReportOnly /REPORT=C:\\first.csv "
                       "/report=%SHARE%\\%COMPUTERNAME%.csv /journal=C:\\j\\%COMPUTERNAME%.jnl "
                       "/Directory=%SHARE%\\dir.ldif"),
      system);
  EXPECT_TRUE(mode.quiet);
  EXPECT_TRUE(mode.reportOnly);
  EXPECT_FALSE(mode.help);
  EXPECT_EQ(mode.reportPath, "\\\\server\\zeb$\\WS042.csv");  // the last one, its case kept
  EXPECT_EQ(mode.journalPath, "C:\\j\\WS042.jnl");
  EXPECT_EQ(mode.directoryPath, "\\\\server\\zeb$\\dir.ldif");
}

TEST(RunModeTest, TheMessageFilesRulesForUndefinedNamesAndLonePercentSigns) {
  MemorySystem system;
  const RunMode mode =
      ReadRunMode(ProgramArguments("zeb.exe /REPORT=C:\\%NOSUCHNAME%\\100%.csv /?"), system);
  EXPECT_EQ(mode.reportPath, "C:\\NOSUCHNAME\\100.csv");
  EXPECT_TRUE(mode.help);
  EXPECT_FALSE(mode.quiet);
}

TEST(RunModeTest, NearMissesAreNoSwitches) {
  MemorySystem system;
  const RunMode mode =
      ReadRunMode(ProgramArguments("zeb.exe /QUIETLY /REPORTONLY2 /?? REPORT=x.csv"), system);
  EXPECT_FALSE(mode.quiet);
  EXPECT_FALSE(mode.reportOnly);
  EXPECT_FALSE(mode.help);
  EXPECT_EQ(mode.reportPath, "");
}

TEST(UsageTest, EverySwitchHasALineOfItsOwn) {
  std::istringstream text(kUsageText);
  std::vector<std::string> starts;
  for (std::string line; std::getline(text, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    EXPECT_LE(line.size(), kUsageLineLimit) << line;
    starts.push_back(line.substr(0, line.find("  ")));
  }
  for (const char* name :
       {"/AUTO", "/STEALTH", "/QUIET", "/REPORTONLY", "/NOPROMPT", "/NODESK", "/NOMENU", "/NOINI",
        "/NOREG", "/NOEXIT", "/REBOOT", "/CLASSES", "/SEARCH=text", "/REPLACE=text",
        "/STARTING=date", "/MESSAGE=file", "/REPORT=file", "/DIRECTORY=file", "/TREE=name",
        "/USER=name", "/?"}) {
    EXPECT_EQ(std::count(starts.begin(), starts.end(), name), 1) << name;
    // A plain switch named there is one the start-up's table takes.
    if (std::string(name).find('=') == std::string::npos) {
      EXPECT_FALSE(MatchSwitches(name).empty()) << name;
    }
  }
}

// --- Boxes and progress of a quiet run -------------------------------------------------------

class RunOutletsTest : public ::testing::Test {
 protected:
  testing::RecordingView windows;
  testing::RecordingFileWriter writer;
  ChangeReport report{"C:\\r.csv", writer, windows};
};

TEST_F(RunOutletsTest, QuietBoxesBecomeReportMessagesAndQuestionsAreAnsweredOk) {
  RunBoxes boxes(true, windows, &report);
  windows.answerOk = false;  // would be Cancel, were a box shown
  boxes.ShowMessage("DXCallsInit Failed (-1001)");
  boxes.ShowError("'13/45/2026' is not a valid date.");
  EXPECT_TRUE(boxes.ConfirmInformation("Clicking OK ..."));
  EXPECT_TRUE(boxes.ConfirmWarning("Click OK to restart."));
  EXPECT_EQ(report.Messages(), (Messages{"DXCallsInit Failed (-1001)",
                                         "'13/45/2026' is not a valid date.", "Clicking OK ...",
                                         "Click OK to restart."}));
  EXPECT_TRUE(windows.messages.empty());
  EXPECT_TRUE(windows.errors.empty());
  EXPECT_TRUE(windows.confirmations.empty());

  RunBoxes withoutReport(true, windows);
  withoutReport.ShowError("lost but harmless");
  EXPECT_TRUE(withoutReport.ConfirmWarning("?"));
  EXPECT_TRUE(windows.errors.empty());
}

TEST_F(RunOutletsTest, OrdinaryBoxesAreTheWindowsOwn) {
  RunBoxes boxes(false, windows, &report);
  windows.answerOk = false;
  boxes.ShowMessage("m");
  boxes.ShowError("e");
  EXPECT_FALSE(boxes.ConfirmInformation("i"));
  EXPECT_FALSE(boxes.ConfirmWarning("w"));
  EXPECT_EQ(windows.messages, Messages{"m"});
  EXPECT_EQ(windows.errors, Messages{"e"});
  EXPECT_EQ(windows.confirmations, (Messages{"i", "w"}));
  EXPECT_TRUE(report.Messages().empty());
}

TEST_F(RunOutletsTest, QuietProgressKeepsItsTextsOffTheWindowsButStillProcessesMessages) {
  RunProgress quiet(true, windows);
  quiet.SetStatus(StatusLine::kSplash3, "Changing ");
  quiet.SetStatus(StatusLine::kSplash3, quiet.StatusText(StatusLine::kSplash3) + "C:\\a.ini");
  quiet.SetCursor(Cursor::kHourglass);
  quiet.RepaintList();
  quiet.ProcessMessages();
  EXPECT_EQ(quiet.StatusText(StatusLine::kSplash3), "Changing C:\\a.ini");
  EXPECT_EQ(quiet.StatusText(StatusLine::kMain1), "");
  EXPECT_EQ(quiet.CurrentCursor(), Cursor::kHourglass);
  EXPECT_TRUE(windows.statusHistory.empty());
  EXPECT_EQ(windows.cursor, Cursor::kDefault);
  EXPECT_EQ(windows.listRepaints, 0);
  EXPECT_EQ(windows.messagePumps, 1);

  RunProgress shown(false, windows);
  shown.SetStatus(StatusLine::kMain1, "x");
  shown.SetCursor(Cursor::kArrow);
  EXPECT_EQ(windows.status[StatusLine::kMain1], "x");
  EXPECT_EQ(windows.cursor, Cursor::kArrow);
}

// --- Whole runs: the start-up, the scan, Save and the end, with the real Save -----------------

class FleetRunTest : public ::testing::Test {
 protected:
  FleetRunTest() {
    h.saverInUse = &saver;
    h.reportInUse = &report;
    h.boxesInUse = &boxes;
    h.system.environment["COMPUTERNAME"] = "WS042";
  }
  // A Registry value the scan proposes to change, when `findSomething`.
  void Run(const std::string& arguments, bool findSomething = true) {
    h.registry.ImportRegText(
        "Windows Registry Editor Version 5.00\n\n[HKEY_USERS\\Software\\Acme]\n"
        "\"Server\"=\"CN=Old\"\n");
    h.scanners.onCall = [findSomething](ScanContext& context, const std::string& call) {
      if (findSomething && call == "SearchRegistryTree(HKEY_USERS, )")
        context.changes.AddChange(hkey::kUsers, kChangeVariableContents, "\\Software\\Acme",
                                  "Server", "CN=New");
    };
    h.CommandLine(arguments);
    h.mode = ReadRunMode(ProgramArguments(h.system.commandLine), h.system);
    h.StartUp();
    if (!h.control.endRequests) h.program().OnUnattendedRunTimer();
  }
  // The end of the message loop, for a run that asked to end.
  int EndOfLoop() { return h.program().Finish(); }
  std::string Server() {
    const std::optional<RegValue> value =
        h.registry.GetValue(hkey::kUsers, "Software\\Acme", "Server");
    return value ? std::string(value->data.begin(), value->data.end()).c_str() : "<missing>";
  }
  std::string ReportText() { return writer.files["C:\\r.csv"]; }
  bool ReportHas(const std::string& text) {
    return ReportText().find(text) != std::string::npos;
  }

  AppHarness h;
  testing::RecordingFileWriter writer;
  RunBoxes boxes{h.mode.quiet, h.view};  // remade by Quiet()
  ChangeReport report{"C:\\r.csv", writer, boxes};
  WorkstationSaver saver{h.workstation, h.main, h.view, h.view, boxes, &report};

  // Makes the boxes quiet (the harness's mode is read in Run).
  void Quiet() {
    quietBoxes.emplace(true, h.view, &report);
    h.boxesInUse = &*quietBoxes;
  }
  std::optional<RunBoxes> quietBoxes;
};

TEST_F(FleetRunTest, ReportOnlyReportsEveryProposalWritesNothingAndEndsWithFive) {
  Run("/STEALTH /REPORTONLY /REBOOT /STARTING=12/1/2026");
  EXPECT_EQ(Server(), "CN=Old");
  EXPECT_FALSE(h.registry.GetValue(hkey::kLocalMachine, "Software\\Varnok\\Consulting\\ZEB",
                                   "Last Run"));
  // Not even the program's key is made for "/STARTING=".
  EXPECT_FALSE(h.registry.HasKey(hkey::kLocalMachine, "Software\\Varnok\\Consulting\\ZEB"));
  EXPECT_FALSE(h.flags().changesMade);
  EXPECT_EQ(h.system.restartRequests, 0);
  EXPECT_TRUE(ReportHas("1,1,HKEY_USERS,3,\\Software\\Acme,Server,CN=New,proposed\r\n"));
  EXPECT_EQ(h.control.exitCodes, std::vector<int>{Code(ExitCode::kChangesFound)});
}

TEST_F(FleetRunTest, ReportOnlyWithNothingToFindEndsWithZero) {
  Run("/STEALTH /REPORTONLY", false);
  EXPECT_EQ(h.control.exitCodes, std::vector<int>{Code(ExitCode::kCompleted)});
  EXPECT_EQ(ReportText().substr(3, 4), "line");  // the header alone
}

TEST_F(FleetRunTest, InteractiveReportOnlyKeepsSaveDisabledAndSaysSoInTheTitle) {
  h.CommandLine("/REPORTONLY");
  h.mode = ReadRunMode(ProgramArguments(h.system.commandLine), h.system);
  h.scanners.onCall = [](ScanContext& context, const std::string& call) {
    if (call == "SearchRegistryTree(HKEY_USERS, )")
      context.changes.AddChange(hkey::kUsers, kChangeVariableContents, "\\Software\\Acme",
                                "Server", "CN=New");
  };
  h.StartUp();
  EXPECT_EQ(h.main.caption, std::string("VRX Alias Scourby Tackwerk  [ACME_TREE]") +
                                kReportOnlyTitle);
  h.program().OnSearchClick();
  EXPECT_FALSE(h.main.enabled[MainControl::kSaveButton]);
  EXPECT_EQ(h.view.status[StatusLine::kMain1], kReportOnlyResult);
  // Even a click that reached Save writes nothing.
  h.program().OnSaveClick();
  EXPECT_EQ(Server(), "<missing>");
  EXPECT_TRUE(h.view.confirmations.empty());
  h.program().OnExitClick();
  EXPECT_EQ(h.control.exitCodes, std::vector<int>{Code(ExitCode::kChangesFound)});
}

TEST_F(FleetRunTest, AnOrdinaryRunThatWritesEverythingEndsWithZero) {
  Run("/STEALTH");
  EXPECT_EQ(Server(), "CN=New");
  EXPECT_EQ(h.control.exitCodes, std::vector<int>{Code(ExitCode::kCompleted)});
}

TEST_F(FleetRunTest, QuietInvalidDateEndsWithTwoAndTheMessageInTheReport) {
  Quiet();
  // "/QUIET" after the bad date still holds: nothing is handed over to a window.
  Run("/STARTING=13/45/2026 /QUIET");
  EXPECT_EQ(h.control.endRequests, 1);
  EXPECT_FALSE(h.main.visible);
  EXPECT_TRUE(h.view.errors.empty());
  EXPECT_EQ(EndOfLoop(), Code(ExitCode::kStartUpEnded));
  EXPECT_TRUE(ReportHas(",,,,,,,message: '13/45/2026' is not a valid date.\r\n"));
}

TEST_F(FleetRunTest, QuietClientFailureEndsWithThreeInsteadOfShowingTheMainWindow) {
  Quiet();
  h.directory.callsInitResult = -1001;
  Run("/QUIET");
  EXPECT_EQ(h.control.endRequests, 1);
  EXPECT_TRUE(h.view.messages.empty());
  EXPECT_EQ(EndOfLoop(), Code(ExitCode::kDirectoryFailed));
  EXPECT_TRUE(ReportHas("message: DXCallsInit Failed (-1001)\r\n"));
}

TEST_F(FleetRunTest, WithoutQuietAClientFailureKeepsItsBoxAndItsCode) {
  h.directory.callsInitResult = -1001;
  Run("/STEALTH");
  EXPECT_EQ(h.view.messages, Messages{"DXCallsInit Failed (-1001)"});
  EXPECT_EQ(h.control.endRequests, 0);  // the main window comes up, as it always has
  h.program().OnExitClick();
  EXPECT_EQ(h.control.exitCodes, std::vector<int>{Code(ExitCode::kDirectoryFailed)});
  EXPECT_FALSE(ReportHas("message:"));
}

TEST_F(FleetRunTest, QuietSaveErrorGoesToTheReportAndEndsWithFour) {
  Quiet();
  h.registry.ImportRegText(
      "Windows Registry Editor Version 5.00\n\n[HKEY_USERS\\Software\\Acme]\n");
  h.registry.FailWrites(hkey::kUsers, "Software\\Acme");
  Run("/QUIET /REBOOT");
  EXPECT_TRUE(h.view.errors.empty());
  EXPECT_EQ(h.system.restartRequests, 0);
  EXPECT_EQ(h.control.exitCodes, std::vector<int>{Code(ExitCode::kSaveFailed)});
  EXPECT_TRUE(ReportHas("failed: Failed to set data for 'Server'"));
  EXPECT_TRUE(ReportHas("message: Failed to set data for 'Server'\r\n"));
}

TEST_F(FleetRunTest, AReportThatCannotBeWrittenEndsWithFour) {
  writer.fail = true;
  Run("/STEALTH");
  EXPECT_EQ(Server(), "CN=New");
  EXPECT_EQ(h.view.messages, Messages(2, "Unable to write report C:\\r.csv"));
  EXPECT_EQ(h.control.exitCodes, std::vector<int>{Code(ExitCode::kSaveFailed)});
}

TEST_F(FleetRunTest, TheLargerCodeWins) {
  // A directory that fails mid-scan (3) in a run that found changes to report (5).
  h.scanners.onCall = nullptr;
  h.CommandLine("/STEALTH /REPORTONLY");
  h.mode = ReadRunMode(ProgramArguments(h.system.commandLine), h.system);
  h.StartUp();
  h.directory.lookUpResult = 0;
  h.scanners.onCall = [](ScanContext& context, const std::string& call) {
    if (call != "SearchRegistryTree(HKEY_USERS, )") return;
    context.names.CanonicalizeName("Bob.Sales.Acme");  // the fake client answers -1
    context.changes.AddChange(hkey::kUsers, kChangeVariableContents, "\\Software\\Acme", "S",
                              "CN=New");
  };
  h.program().OnUnattendedRunTimer();
  EXPECT_EQ(h.view.messages, Messages{"DXVRCanonicalizeName failed (-1)"});
  EXPECT_EQ(h.control.exitCodes, std::vector<int>{Code(ExitCode::kChangesFound)});

  RunExitCode code;
  code.Raise(ExitCode::kJournalFailed);
  code.Raise(ExitCode::kSaveFailed);
  EXPECT_EQ(code.Value(), Code(ExitCode::kJournalFailed));
}

TEST(ExitCodeOfSaveTest, ALineNotWrittenFailsTheSaveEvenWhenItRanToItsEnd) {
  SaveResult result;
  result.ending = SaveEnding::kCompleted;
  result.outcomes = {{LineStatus::kWritten, {}}, {LineStatus::kUnticked, {}}};
  EXPECT_EQ(ExitCodeOfSave(result), ExitCode::kCompleted);
  result.outcomes.push_back({LineStatus::kFailed, "Unable to write to C:\\a.ini"});
  EXPECT_EQ(ExitCodeOfSave(result), ExitCode::kSaveFailed);
  EXPECT_EQ(ExitCodeOfSave({SaveEnding::kFailed, "x", {}}), ExitCode::kSaveFailed);
  EXPECT_EQ(ExitCodeOfSave({SaveEnding::kCancelled, {}, {}}), ExitCode::kCompleted);
  EXPECT_EQ(ExitCodeOfSave({SaveEnding::kNothingToSave, {}, {}}), ExitCode::kCompleted);
}

// --- The report's file -------------------------------------------------------------------------

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) { return std::ifstream(path).good(); }

TEST(ReportFileTest, ARewriteReplacesTheFileWholeAndLeavesNoTemporaryFile) {
  const std::string path = ::testing::TempDir() + "zeb_fleet_report.csv";
  StreamFileWriter writer;
  ASSERT_TRUE(writer.WriteWholeFile(path, "first run, a longer text than the second"));
  ASSERT_TRUE(writer.WriteWholeFile(path, "second"));
  EXPECT_EQ(ReadWhole(path), "second");
  EXPECT_FALSE(Exists(TemporaryPathBeside(path)));
  std::remove(path.c_str());
}

TEST(ReportFileTest, AFailedWriteLeavesTheOldFileAsItWas) {
  const std::string path = ::testing::TempDir() + "zeb_fleet_kept.csv";
  StreamFileWriter writer;
  ASSERT_TRUE(writer.WriteWholeFile(path, "the old report"));
  // A folder where the temporary file should go makes its write fail.
  const std::filesystem::path blocker = TemporaryPathBeside(path);
  ASSERT_TRUE(std::filesystem::create_directory(blocker));
  EXPECT_FALSE(writer.WriteWholeFile(path, "new"));
  EXPECT_EQ(ReadWhole(path), "the old report");
  std::filesystem::remove(blocker);
  std::remove(path.c_str());
}

TEST(ReportFileTest, APendingMessageIsWrittenAtTheEndWithTheLastOutcomes) {
  testing::RecordingView view;
  RunFlags flags;
  flags.shortcutsTicked = true;
  ChangeList changes{view, view, flags};
  testing::RecordingFileWriter writer;
  ChangeReport report{"C:\\r.csv", writer, view};
  report.WritePending(changes, view);
  EXPECT_TRUE(writer.files.empty());  // nothing to say: no file for a run that never scanned

  changes.AddChange(changekind::kIniEntry, kChangeVariableContents, "C:\\a.ini", "[S]v", "x");
  report.Write(changes, view, {{LineStatus::kWritten, {}}});
  report.WritePending(changes, view);
  const std::string once = writer.files["C:\\r.csv"];
  report.AddMessage("late");
  report.WritePending(changes, view);
  EXPECT_EQ(writer.files["C:\\r.csv"], once + ",,,,,,,message: late\r\n");
  EXPECT_NE(once.find(",written\r\n"), std::string::npos);
}

}  // namespace
}  // namespace zeb
