#include <gtest/gtest.h>

#include "app/unattended_run.h"
#include "app/workstation_saver.h"
#include "support/app_harness.h"

namespace zeb {
namespace {

using testing::AppHarness;
using Log = std::vector<std::string>;

class UnattendedRunTest : public ::testing::Test {
 protected:
  void StartUp(const std::string& arguments) {
    h.CommandLine(arguments);
    h.StartUp();
    h.ClearLog();
  }
  void FindOneChange() {
    h.scanners.onCall = [](ScanContext& context, const std::string& call) {
      if (call == "SearchRegistryTree(HKEY_USERS, )")
        context.changes.AddChange(hkey::kUsers, kChangeVariableContents, "\\Software\\Acme",
                                  "Server", "CN=New");
    };
  }
  void Fire() { h.program().OnUnattendedRunTimer(); }
  // Everything before the scan run, then only the run's milestones.
  Log Outline() {
    const auto starts = [](const std::string& entry, const char* prefix) {
      return entry.rfind(prefix, 0) == 0;
    };
    Log outline;
    bool scanning = false;
    for (const std::string& entry : h.log) {
      scanning = scanning || entry == "disable Button1" || starts(entry, "message:");
      if (!scanning || starts(entry, "FindTree") || entry == "save" || starts(entry, "end now") ||
          starts(entry, "message:") || starts(entry, "warning:") || starts(entry, "error:"))
        outline.push_back(entry);
    }
    return outline;
  }
  AppHarness h;
};

TEST_F(UnattendedRunTest, AutoShowsTheWindowThenScansSavesAndExits) {
  FindOneChange();
  StartUp("/AUTO");
  Fire();
  EXPECT_EQ(Outline(), (Log{"Timer1 off", "main shown", "main to front", "messages",
                            "FindTree(ACME_TREE)", "save", "end now 0"}));
  EXPECT_FALSE(h.main.timers[MainTimer::kUnattendedRun]);
  EXPECT_TRUE(h.view.listEnabled);  // prompts on: the user may still review lines
  EXPECT_TRUE(h.flags().changesMade);
  EXPECT_EQ(h.system.restartRequests, 0);
}

TEST_F(UnattendedRunTest, StealthShowsNoWindowLocksTheListAndRestartsWithoutAQuestion) {
  FindOneChange();
  StartUp("/STEALTH /REBOOT");
  Fire();
  EXPECT_EQ(Outline(), (Log{"Timer1 off", "messages", "disable ListBox1", "FindTree(ACME_TREE)",
                            "save", "end now 0"}));
  EXPECT_FALSE(h.main.visible);
  EXPECT_TRUE(h.view.confirmations.empty());
  EXPECT_EQ(h.system.restartRequests, 1);
  EXPECT_EQ(h.view.lines.size(), 1u);
}

TEST_F(UnattendedRunTest, NoPromptAloneAlsoLocksTheList) {
  StartUp("/AUTO /NOPROMPT");
  Fire();
  EXPECT_TRUE(h.Logged("disable ListBox1"));
  EXPECT_TRUE(h.main.visible);
}

TEST_F(UnattendedRunTest, AutoWithRebootAsksAndCancelEndsWithoutRestart) {
  FindOneChange();
  h.view.answerOk = false;
  StartUp("/AUTO /REBOOT");
  Fire();
  EXPECT_EQ(h.view.confirmations,
            Log{"ZEB has made changes to your workstation.\rClick OK to restart."});
  EXPECT_EQ(h.system.restartRequests, 0);
  EXPECT_EQ(h.control.exitCodes, std::vector<int>{0});
}

TEST_F(UnattendedRunTest, NoExitDisablesTheButtonYetTheRunEndsTheProgram) {
  StartUp("/AUTO /NOEXIT");
  EXPECT_FALSE(h.main.enabled[MainControl::kExitButton]);
  Fire();
  EXPECT_EQ(h.control.exitCodes, std::vector<int>{0});
}

TEST_F(UnattendedRunTest, AScanThatFindsNothingStillSavesAndEndsWithoutRestart) {
  StartUp("/STEALTH /REBOOT");
  Fire();
  EXPECT_TRUE(h.Logged("save"));
  EXPECT_FALSE(h.flags().changesMade);
  EXPECT_EQ(h.system.restartRequests, 0);
  EXPECT_EQ(h.control.exitCodes, std::vector<int>{0});
}

TEST_F(UnattendedRunTest, ARefusedScanDoesNotStopTheRun) {
  StartUp("/AUTO /SEARCH=");
  Fire();
  EXPECT_EQ(Outline(), (Log{"Timer1 off", "main shown", "main to front", "messages",
                            "message: No search string specified.", "save", "end now 0"}));
}

TEST_F(UnattendedRunTest, ASaveErrorIsShownAndTheRunEndsWithoutRestart) {
  FindOneChange();
  h.saver.failure = "Failed to set data for 'Server'";
  StartUp("/STEALTH /REBOOT");
  Fire();
  EXPECT_EQ(h.view.errors, Log{"Failed to set data for 'Server'"});
  EXPECT_EQ(h.system.restartRequests, 0);
  EXPECT_EQ(h.control.exitCodes, std::vector<int>{0});
}

TEST_F(UnattendedRunTest, AScanErrorIsShownAndNothingIsSaved) {
  h.scanners.onCall = [](ScanContext&, const std::string& call) {
    if (call == "ScanClientKeys") throw std::runtime_error("Invalid data type for 'Contexts'");
  };
  StartUp("/STEALTH");
  Fire();
  EXPECT_EQ(h.view.errors, Log{"Invalid data type for 'Contexts'"});
  EXPECT_FALSE(h.Logged("save"));
  EXPECT_EQ(h.control.exitCodes, std::vector<int>{0});
}

TEST_F(UnattendedRunTest, WithoutAutoRunTheTimerDoesNothing) {
  StartUp("");
  Fire();
  EXPECT_TRUE(h.log.empty());
}

}  // namespace
}  // namespace zeb

namespace zeb {
namespace {

// The run with the real Save over the memory Registry.
class UnattendedSaveTest : public ::testing::Test {
 protected:
  UnattendedSaveTest() { h.saverInUse = &saver; }
  void Run(const std::string& arguments) {
    h.scanners.onCall = [](ScanContext& context, const std::string& call) {
      if (call == "SearchRegistryTree(HKEY_USERS, )")
        context.changes.AddChange(hkey::kUsers, kChangeVariableContents, "\\Software\\Acme",
                                  "Server", "CN=New");
    };
    h.CommandLine(arguments);
    h.StartUp();
    h.program().OnUnattendedRunTimer();
  }
  std::string Data(RegKey root, const std::string& path, const std::string& name) {
    const std::optional<RegValue> value = h.registry.GetValue(root, path, name);
    if (!value) return "<missing>";
    return std::string(value->data.begin(), value->data.end()).c_str();
  }
  testing::AppHarness h;
  WorkstationSaver saver{h.workstation, h.main, h.view, h.view, h.view};
};

TEST_F(UnattendedSaveTest, StealthWritesTheChangeRecordsTheRunAndRestarts) {
  Run("/STEALTH /REBOOT /STARTING=12/8/2026");
  EXPECT_EQ(Data(hkey::kUsers, "Software\\Acme", "Server"), "CN=New");
  EXPECT_EQ(Data(hkey::kLocalMachine, "Software\\Varnok\\Consulting\\ZEB", "Last Run"),
            "12/8/2026");
  EXPECT_TRUE(h.flags().changesMade);
  EXPECT_FALSE(h.main.enabled[MainControl::kSaveButton]);
  EXPECT_TRUE(h.view.confirmations.empty());
  EXPECT_EQ(h.system.restartRequests, 1);
  EXPECT_EQ(h.control.exitCodes, std::vector<int>{0});

  // Started again the same day with the same switch, it ends at once.
  testing::AppHarness again;
  again.registry.ImportRegText(
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Varnok\\Consulting\\ZEB]\n\"Last Run\"=\"" +
      Data(hkey::kLocalMachine, "Software\\Varnok\\Consulting\\ZEB", "Last Run") + "\"\n");
  again.CommandLine("/STEALTH /STARTING=12/8/2026");
  again.StartUp();
  EXPECT_EQ(again.control.endRequests, 1);
}

TEST_F(UnattendedSaveTest, AutoAsksBeforeWritingAndCancelWritesNothing) {
  h.view.answerOk = false;
  Run("/AUTO /REBOOT");
  EXPECT_EQ(h.view.confirmations,
            std::vector<std::string>{
                "Clicking OK will cause selected changes to be written to this workstation."});
  EXPECT_EQ(Data(hkey::kUsers, "Software\\Acme", "Server"), "<missing>");
  EXPECT_FALSE(h.flags().changesMade);
  EXPECT_EQ(h.system.restartRequests, 0);
  EXPECT_EQ(h.control.exitCodes, std::vector<int>{0});
}

TEST_F(UnattendedSaveTest, AFailedWriteIsShownAndTheRunEndsWithoutRestart) {
  h.registry.ImportRegText(
      "Windows Registry Editor Version 5.00\n\n[HKEY_USERS\\Software\\Acme]\n");
  h.registry.FailWrites(hkey::kUsers, "Software\\Acme");
  Run("/STEALTH /REBOOT");
  EXPECT_EQ(h.view.errors, std::vector<std::string>{"Failed to set data for 'Server'"});
  EXPECT_FALSE(h.flags().changesMade);
  EXPECT_EQ(h.system.restartRequests, 0);
  // A deployment tool learns of it from the exit code.
  EXPECT_EQ(h.control.exitCodes, std::vector<int>{static_cast<int>(ExitCode::kSaveFailed)});
}

}  // namespace
}  // namespace zeb
