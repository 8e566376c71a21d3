#include <gtest/gtest.h>

#include <tuple>

#include "app/startup.h"
#include "support/app_harness.h"

namespace zeb {
namespace {

using testing::AppHarness;
using Log = std::vector<std::string>;

const char kProgramKey[] = "Software\\Varnok\\Consulting\\ZEB";

std::string RegWithLastRun(const std::string& valueLine) {
  return "Windows Registry Editor Version 5.00\n\n"
         "[HKEY_LOCAL_MACHINE\\Software\\Varnok\\Consulting\\ZEB]\n" +
         valueLine + "\n";
}

class StartUpTest : public ::testing::Test {
 protected:
  void Run(const std::string& arguments) {
    h.CommandLine(arguments);
    h.StartUp();
  }
  bool EndRequested() { return h.control.endRequests > 0; }
  bool AutomaticRunArmed() {
    return h.main.timers[MainTimer::kUnattendedRun] && !h.main.enabled[MainControl::kSearchButton];
  }
  AppHarness h;
};

TEST_F(StartUpTest, WithoutArgumentsTheProgramIsInteractive) {
  Run("");
  const Log expected = {"splash painted",
                        "Timer2 on",
                        "DefaultFullName",
                        "SetFullName(VRX:\\\\ACME_TREE\\Acme\\Sales\\Bob)",
                        "FullName",
                        "GetTreeName(VRX:\\\\ACME_TREE\\Acme\\Sales\\Bob)",
                        "DXCallsInit",
                        "DXVRCreateContextHandle",
                        "DXVRGetContext(1)",
                        "DXVRSetContext",
                        "GetClientKind",
                        "GetClientVersion",
                        "enable Button3"};
  EXPECT_EQ(h.log, expected);
  EXPECT_EQ(h.main.caption, "VRX Alias Scourby Tackwerk  [ACME_TREE]");
  EXPECT_EQ(h.program().State().treeName, "ACME_TREE");
  EXPECT_EQ(h.directory.flagsWritten, std::vector<std::uint32_t>{0x14});
  EXPECT_TRUE(h.program().State().holdsContext);
  EXPECT_EQ(h.program().State().dirContext, 7u);

  const RunFlags& flags = h.flags();
  EXPECT_FALSE(flags.stealthMode || flags.autoRun || flags.noExit || flags.rebootAfter ||
               flags.searchClasses || flags.startingDateGiven || flags.changesMade);
  EXPECT_TRUE(flags.promptUser);
  EXPECT_TRUE(flags.shortcutsTicked);
  EXPECT_EQ(h.main.mode, ProgramMode::kDereferenceAliases);
  for (SearchArea area : {SearchArea::kDesktop, SearchArea::kStartMenu, SearchArea::kIniFiles,
                          SearchArea::kRegistry})
    EXPECT_TRUE(h.main.ticked[area]);
  EXPECT_TRUE(h.main.enabled[MainControl::kSearchButton]);
  EXPECT_TRUE(h.main.enabled[MainControl::kExitButton]);
  EXPECT_TRUE(h.main.enabled[MainControl::kSearchDesktop]);
  EXPECT_FALSE(h.main.enabled[MainControl::kSearchEdit]);
  EXPECT_FALSE(h.main.timers[MainTimer::kUnattendedRun]);
  EXPECT_FALSE(EndRequested());
}

TEST_F(StartUpTest, AnEmptyTreeNameGivesEmptyBrackets) {
  h.directory.treeNames.clear();
  Run("");
  EXPECT_EQ(h.main.caption, "VRX Alias Scourby Tackwerk  []");
}

TEST_F(StartUpTest, OnlyTheFirstActivationRunsTheStartUp) {
  Run("");
  h.ClearLog();
  h.program().OnSplashActivate();
  EXPECT_EQ(h.log, (Log{"splash painted", "Timer2 on"}));
}

struct ClientFailure {
  const char* call;
  std::int32_t result;
  const char* message;
  bool contextReleased;
};

class ClientFailureTest : public StartUpTest,
                          public ::testing::WithParamInterface<ClientFailure> {};

TEST_P(ClientFailureTest, EndsTheStartUpWithItsMessageAndNoSwitchTakesEffect) {
  const ClientFailure& failure = GetParam();
  const std::string call = failure.call;
  if (call == "DXCallsInit") h.directory.callsInitResult = failure.result;
  if (call == "DXVRCreateContextHandle") h.directory.createContextResult = failure.result;
  if (call == "DXVRGetContext") h.directory.getContextResult = failure.result;
  if (call == "DXVRSetContext") h.directory.setContextResult = failure.result;
  h.view.cursor = Cursor::kHourglass;
  Run("/AUTO /NOEXIT /SEARCH=x");

  EXPECT_EQ(h.view.messages, std::vector<std::string>{failure.message});
  EXPECT_EQ(h.view.cursor, Cursor::kDefault);
  EXPECT_EQ(h.directory.freedContexts.size(), failure.contextReleased ? 1u : 0u);
  EXPECT_FALSE(h.program().State().holdsContext);
  EXPECT_EQ(h.program().State().lastClientResult, failure.result);
  EXPECT_EQ(h.program().State().exitCode.Value(), static_cast<int>(ExitCode::kDirectoryFailed));
  EXPECT_FALSE(h.Logged("GetClientKind"));
  // The flags keep their all-off start values and the window stays as designed.
  const RunFlags& flags = h.flags();
  EXPECT_FALSE(flags.autoRun || flags.promptUser || flags.noExit || flags.shortcutsTicked);
  EXPECT_EQ(h.main.mode, ProgramMode::kDereferenceAliases);
  EXPECT_TRUE(h.main.enabled[MainControl::kSearchButton]);
  EXPECT_TRUE(h.main.enabled[MainControl::kExitButton]);
  EXPECT_FALSE(h.main.timers[MainTimer::kUnattendedRun]);
  EXPECT_TRUE(h.main.timers[MainTimer::kSplashHandOver]);
  EXPECT_EQ(h.main.caption, "VRX Alias Scourby Tackwerk  [ACME_TREE]");

  // Closing the main window later does not release the context twice.
  h.program().OnMainWindowClose();
  EXPECT_EQ(h.directory.freedContexts.size(), failure.contextReleased ? 1u : 0u);
  EXPECT_EQ(h.directory.unicodeTablesFreed, 1);
}

INSTANTIATE_TEST_SUITE_P(
    EachClientStep, ClientFailureTest,
    ::testing::Values(
        ClientFailure{"DXCallsInit", -3, "DXCallsInit Failed (-3)", false},
        ClientFailure{"DXVRCreateContextHandle", 2, "DXVRCreateContextHandle Failed (2)", true},
        ClientFailure{"DXVRCreateContextHandle", -1, "DXVRCreateContextHandle Failed (-1)", true},
        ClientFailure{"DXVRGetContext", -601, "DXVRGetContext Failed (-601)", true},
        ClientFailure{"DXVRSetContext", 1, "DXVRSetContext Failed (1)", true}));

TEST_F(StartUpTest, APositiveInitialisationResultIsNoFailure) {
  h.directory.callsInitResult = 3;
  Run("");
  EXPECT_TRUE(h.view.messages.empty());
  EXPECT_TRUE(h.Logged("DXVRCreateContextHandle"));
}

TEST_F(StartUpTest, OldClientsOfKindFourProposeShortcutsUnticked) {
  struct Case {
    std::uint16_t kind;
    ClientVersion version;
    bool ticked;
  };
  const Case cases[] = {
      {4, {5, 1, 9, 9}, false}, {4, {4, 9, 0, 0}, false}, {4, {5, 2, 0, 0}, true},
      {4, {6, 0, 0, 0}, true},  {1, {3, 0, 0, 0}, true},
  };
  for (const Case& c : cases) {
    AppHarness harness;
    harness.directory.clientKind = c.kind;
    harness.directory.clientVersion = c.version;
    harness.StartUp();
    EXPECT_EQ(harness.flags().shortcutsTicked, c.ticked)
        << "kind " << c.kind << " version " << int(c.version.major) << "." << int(c.version.minor);
    EXPECT_EQ(harness.Logged("GetClientVersion"), c.kind == 4);
  }
}

TEST_F(StartUpTest, StealthSetsAutomaticRunWithoutPrompts) {
  Run("/STEALTH");
  EXPECT_TRUE(h.flags().stealthMode);
  EXPECT_TRUE(h.flags().autoRun);
  EXPECT_FALSE(h.flags().promptUser);
  EXPECT_TRUE(AutomaticRunArmed());
  EXPECT_TRUE(h.main.enabled[MainControl::kExitButton]);
}

TEST_F(StartUpTest, StealthWithAutoAndNoPromptIsStealthAlone) {
  AppHarness alone;
  alone.CommandLine("/STEALTH");
  alone.StartUp();
  Run("/stealth /AUTO /NoPrompt");
  EXPECT_EQ(h.log, alone.log);
  const RunFlags& a = alone.flags();
  const RunFlags& b = h.flags();
  EXPECT_EQ(std::tie(a.stealthMode, a.autoRun, a.promptUser, a.noExit),
            std::tie(b.stealthMode, b.autoRun, b.promptUser, b.noExit));
}

TEST_F(StartUpTest, AnAutomaticRunLocksTheAreasButKeepsTheirTicks) {
  Run("/NOMENU /AUTO /NOREG");
  EXPECT_TRUE(h.flags().autoRun);
  EXPECT_TRUE(h.flags().promptUser);
  EXPECT_TRUE(AutomaticRunArmed());
  EXPECT_TRUE(h.main.ticked[SearchArea::kDesktop]);
  EXPECT_FALSE(h.main.ticked[SearchArea::kStartMenu]);
  EXPECT_TRUE(h.main.ticked[SearchArea::kIniFiles]);
  EXPECT_FALSE(h.main.ticked[SearchArea::kRegistry]);
  for (MainControl box : {MainControl::kSearchDesktop, MainControl::kSearchStartMenu,
                          MainControl::kSearchIniFiles, MainControl::kSearchRegistry})
    EXPECT_FALSE(h.main.enabled[box]) << testing::ControlName(box);
}

TEST_F(StartUpTest, AreaSwitchesUntickTheirBoxesOnly) {
  Run("/nodesk /NOINI");
  EXPECT_FALSE(h.main.ticked[SearchArea::kDesktop]);
  EXPECT_TRUE(h.main.ticked[SearchArea::kStartMenu]);
  EXPECT_FALSE(h.main.ticked[SearchArea::kIniFiles]);
  EXPECT_TRUE(h.main.ticked[SearchArea::kRegistry]);
  EXPECT_TRUE(h.main.enabled[MainControl::kSearchDesktop]);
  EXPECT_FALSE(AutomaticRunArmed());
}

TEST_F(StartUpTest, NoExitDisablesExitOnlyInAnAutomaticRun) {
  Run("/NOEXIT");
  EXPECT_TRUE(h.flags().noExit);
  EXPECT_TRUE(h.main.enabled[MainControl::kExitButton]);
  for (const char* automatic : {"/AUTO", "/STEALTH"}) {
    AppHarness harness;
    harness.CommandLine(std::string("/NOEXIT ") + automatic);
    harness.StartUp();
    EXPECT_FALSE(harness.main.enabled[MainControl::kExitButton]) << automatic;
  }
}

TEST_F(StartUpTest, RebootAndClassesSetTheirFlags) {
  Run("/REBOOT /classes");
  EXPECT_TRUE(h.flags().rebootAfter);
  EXPECT_TRUE(h.flags().searchClasses);
  EXPECT_FALSE(h.flags().autoRun);
}

TEST_F(StartUpTest, SearchSelectsSearchAndReplaceWithTheValueInItsCase) {
  Run("/search=CN=Admin");
  EXPECT_EQ(h.main.mode, ProgramMode::kSearchAndReplace);
  EXPECT_EQ(h.main.search, "CN=Admin");
  for (MainControl control : {MainControl::kSearchLabel, MainControl::kSearchEdit,
                              MainControl::kReplaceLabel, MainControl::kReplaceEdit})
    EXPECT_TRUE(h.main.enabled[control]) << testing::ControlName(control);
}

TEST_F(StartUpTest, ReplaceAloneLeavesTheSearchTextEmpty) {
  Run("/REPLACE=X");
  EXPECT_EQ(h.main.mode, ProgramMode::kSearchAndReplace);
  EXPECT_EQ(h.main.search, "");
  EXPECT_EQ(h.main.replace, "X");
  EXPECT_TRUE(h.main.enabled[MainControl::kSearchEdit]);
}

TEST_F(StartUpTest, AnEmptySearchValueStillSelectsTheMode) {
  Run("/SEARCH=");
  EXPECT_EQ(h.main.mode, ProgramMode::kSearchAndReplace);
  EXPECT_EQ(h.main.search, "");
}

TEST_F(StartUpTest, LaterArgumentsOverrideEarlierOnes) {
  Run("/SEARCH=first /REPLACE=one /SEARCH=second \"/REPLACE=two words\"");
  EXPECT_EQ(h.main.search, "second");
  EXPECT_EQ(h.main.replace, "two words");
}

TEST_F(StartUpTest, UnknownAndDirectoryLayerArgumentsChangeNothing) {
  AppHarness plain;
  plain.StartUp();
  Run("/AUTOX /STEALTH2 /DIRECTORY=C:\\acme.ldif /TREE=OTHER /USER=Bob.Sales.Acme "
      "/REPORT=C:\\r.csv extra");
  EXPECT_EQ(h.log, plain.log);
  EXPECT_FALSE(h.flags().autoRun);
  EXPECT_FALSE(h.flags().stealthMode);
}

// "/STARTING=": the memory system's today is 12/8/2026 in the picture M/d/yyyy.

TEST_F(StartUpTest, StartingTodayWithoutLastRunRunsAndRemembersTheSwitch) {
  Run("/STARTING=12/8/2026 /AUTO");
  EXPECT_FALSE(EndRequested());
  EXPECT_TRUE(h.flags().startingDateGiven);
  EXPECT_TRUE(h.registry.HasKey(hkey::kLocalMachine, kProgramKey));
  EXPECT_TRUE(AutomaticRunArmed());
}

TEST_F(StartUpTest, StartingInTheFutureEndsTheProgramButFinishesTheStartUp) {
  Run("/STARTING=12/9/2026 /AUTO");
  EXPECT_EQ(h.control.endRequests, 1);
  EXPECT_TRUE(h.flags().startingDateGiven);
  EXPECT_TRUE(h.flags().autoRun);
  EXPECT_TRUE(AutomaticRunArmed());
  // The key is created all the same.
  EXPECT_TRUE(h.registry.HasKey(hkey::kLocalMachine, kProgramKey));
  // A timer that fires all the same does nothing.
  h.ClearLog();
  h.program().OnUnattendedRunTimer();
  EXPECT_TRUE(h.log.empty());
}

TEST_F(StartUpTest, ALastRunOnOrAfterTheDateEndsTheProgram) {
  for (const char* lastRun : {"12/8/2026", "1/15/2027"}) {
    AppHarness harness;
    harness.registry.ImportRegText(RegWithLastRun(std::string("\"Last Run\"=\"") + lastRun + "\""));
    harness.CommandLine("/STARTING=12/8/2026");
    harness.StartUp();
    EXPECT_EQ(harness.control.endRequests, 1) << lastRun;
    EXPECT_TRUE(harness.flags().startingDateGiven);
  }
}

TEST_F(StartUpTest, ALastRunBeforeTheDateOrEmptyLetsTheProgramRun) {
  // The last one is 12/1/2026 as an expandable string (UTF-16 in a version 5 file).
  for (const char* line :
       {"\"Last Run\"=\"12/7/2026\"", "\"Last Run\"=\"\"",
        "\"Last Run\"=hex(2):31,00,32,00,2f,00,31,00,2f,00,32,00,30,00,32,00,36,00,00,00"}) {
    AppHarness harness;
    harness.registry.ImportRegText(RegWithLastRun(line));
    harness.CommandLine("/STARTING=12/8/2026");
    harness.StartUp();
    EXPECT_EQ(harness.control.endRequests, 0) << line;
    EXPECT_TRUE(harness.view.errors.empty()) << line;
    EXPECT_TRUE(harness.flags().startingDateGiven) << line;
  }
}

TEST_F(StartUpTest, AProgramKeyThatCannotBeOpenedLeavesOnlyTheDateTest) {
  h.registry.ImportRegText(RegWithLastRun("\"Last Run\"=\"12/8/2026\""));
  h.registry.FailOpen(hkey::kLocalMachine, kProgramKey);
  Run("/STARTING=12/8/2026");
  EXPECT_EQ(h.control.endRequests, 0);
  EXPECT_TRUE(h.flags().startingDateGiven);
}

TEST_F(StartUpTest, AnInvalidDateEndsTheStartUpThere) {
  Run("/AUTO /STARTING=13/45/2026 /REBOOT");
  EXPECT_EQ(h.view.errors, std::vector<std::string>{"'13/45/2026' is not a valid date."});
  EXPECT_TRUE(h.flags().autoRun);
  EXPECT_FALSE(h.flags().rebootAfter);
  EXPECT_FALSE(h.flags().startingDateGiven);
  EXPECT_FALSE(AutomaticRunArmed());
  EXPECT_TRUE(h.main.enabled[MainControl::kSearchButton]);
  // Outside stealth mode the main window takes over as usual.
  EXPECT_FALSE(EndRequested());
  h.program().OnHandOverTimer();
  EXPECT_TRUE(h.main.visible);
}

TEST_F(StartUpTest, AnInvalidStoredDateEndsTheStartUpLikewise) {
  h.registry.ImportRegText(RegWithLastRun("\"Last Run\"=\"yesterday\""));
  Run("/STARTING=12/8/2026 /AUTO");
  EXPECT_EQ(h.view.errors, std::vector<std::string>{"'yesterday' is not a valid date."});
  EXPECT_FALSE(h.flags().autoRun);
  EXPECT_FALSE(AutomaticRunArmed());
}

TEST_F(StartUpTest, ALastRunOfAnotherTypeEndsTheStartUp) {
  h.registry.ImportRegText(RegWithLastRun("\"Last Run\"=dword:00000001"));
  Run("/STARTING=12/8/2026 /AUTO");
  EXPECT_EQ(h.view.errors, std::vector<std::string>{"Invalid data type for 'Last Run'"});
  EXPECT_FALSE(h.flags().startingDateGiven);
  EXPECT_FALSE(AutomaticRunArmed());
}

TEST_F(StartUpTest, InStealthModeAnEndedStartUpEndsTheProgram) {
  Run("/STEALTH /STARTING=someday");
  EXPECT_EQ(h.view.errors, std::vector<std::string>{"'someday' is not a valid date."});
  EXPECT_EQ(h.control.endRequests, 1);
  EXPECT_FALSE(h.main.timers[MainTimer::kUnattendedRun]);
}

TEST_F(StartUpTest, AMessageFileIsShownWithVariablesExpanded) {
  h.files.existing.insert("C:\\msg.txt");
  h.files.contents["C:\\msg.txt"] = {"Welcome %USERNAME%", "100% sure", "%UNDEFINED_NAME%"};
  h.system.environment["USERNAME"] = "Bob";
  Run("/MESSAGE=C:\\msg.txt");
  EXPECT_EQ(h.splash.widenings, 1);
  EXPECT_TRUE(h.splash.panelVisible);
  EXPECT_EQ(h.splash.panelLines,
            (std::vector<std::string>{"Welcome Bob", "100 sure", "UNDEFINED_NAME"}));
}

TEST_F(StartUpTest, AnEmptyMessageFileShowsAnEmptyPanel) {
  h.files.existing.insert("empty.txt");
  h.files.contents["empty.txt"] = {};
  Run("/MESSAGE=empty.txt");
  EXPECT_EQ(h.splash.widenings, 1);
  EXPECT_TRUE(h.splash.panelVisible);
  EXPECT_TRUE(h.splash.panelLines.empty());
}

TEST_F(StartUpTest, AMissingMessageFileIsIgnored) {
  Run("/MESSAGE=C:\\nowhere.txt /AUTO");
  EXPECT_EQ(h.splash.widenings, 0);
  EXPECT_FALSE(h.splash.panelVisible);
  EXPECT_TRUE(h.view.errors.empty());
  EXPECT_TRUE(AutomaticRunArmed());
}

TEST_F(StartUpTest, AMessageFileThatCannotBeOpenedEndsTheStartUpAfterWidening) {
  h.files.existing.insert("C:\\locked.txt");
  Run("/MESSAGE=C:\\locked.txt /AUTO");
  EXPECT_EQ(h.splash.widenings, 1);
  EXPECT_FALSE(h.splash.panelVisible);
  EXPECT_EQ(h.view.errors, std::vector<std::string>{"Cannot open file C:\\locked.txt"});
  EXPECT_FALSE(h.flags().autoRun);
  EXPECT_FALSE(AutomaticRunArmed());
}

TEST_F(StartUpTest, ASecondMessageFileReplacesTheFirstInTheSamePanel) {
  for (const char* name : {"a.txt", "b.txt"}) {
    h.files.existing.insert(name);
    h.files.contents[name] = {name};
  }
  Run("/MESSAGE=a.txt /MESSAGE=b.txt");
  EXPECT_EQ(h.splash.widenings, 1);
  EXPECT_EQ(h.splash.panelLines, std::vector<std::string>{"b.txt"});
}

}  // namespace
}  // namespace zeb
