// "/ALLUSERS" in the scan run and at Exit, with logging scanners: which hives are loaded
// while the scanners run, which folders they are given, the report lines of the profiles
// left out, and that no hive outlives the run, Exit in the middle of the scan included.
#include <gtest/gtest.h>

#include <optional>

#include "platform/memory/memory_hives.h"
#include "platform/registry.h"
#include "support/app_harness.h"
#include "support/profiles_setup.h"
#include "support/recording_file_writer.h"

namespace zeb {
namespace {

using testing::kAliceSid;
using Log = std::vector<std::string>;

class AllUsersScanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::SeedProfiles(h.registry, hiveFiles, h.system);
    h.hivesInUse = &hives;
    h.reportInUse = &report;
  }
  void Run(const std::string& arguments) {
    h.CommandLine(arguments);
    h.StartUp();
    h.ClearLog();
    h.program().OnSearchClick();
  }
  Log ShortcutScans() const {
    Log scans;
    for (const std::string& entry : h.log)
      if (entry.rfind("ShortcutScan(", 0) == 0) scans.push_back(entry);
    return scans;
  }
  bool AliceLoaded() const { return h.registry.HasKey(hkey::kUsers, kAliceSid); }
  // What the scanners saw of alice's hive during the HKEY_USERS search.
  void WatchTheUsersSearch() {
    h.scanners.onCall = [this](ScanContext&, const std::string& call) {
      if (call == "SearchRegistryTree(HKEY_USERS, )") aliceLoadedInSearch = AliceLoaded();
    };
  }

  testing::AppHarness h;
  MemoryFileSystem hiveFiles;
  MemoryHives hives{h.registry, hiveFiles};
  testing::RecordingFileWriter writer;
  ChangeReport report{"C:\\zeb.csv", writer, h.view};
  std::optional<bool> aliceLoadedInSearch;
};

TEST_F(AllUsersScanTest, TheHivesAreLoadedForTheScanAndEveryUsersFoldersScannedOnce) {
  WatchTheUsersSearch();
  Run("/ALLUSERS");
  EXPECT_EQ(aliceLoadedInSearch, true);
  // Bob's own profile names his folders again and is not walked twice; carol and dave are
  // left out; alice's Start Menu comes from her "User Shell Folders" with her own folder.
  EXPECT_EQ(ShortcutScans(),
            (Log{"ShortcutScan(DESKTOP, C:\\Users\\Bob\\Desktop)",
                 "ShortcutScan(START MENU, C:\\Users\\Bob\\Start Menu)",
                 "ShortcutScan(DESKTOP OF alice, C:\\Users\\alice\\Desktop)",
                 "ShortcutScan(START MENU OF alice, C:\\Users\\alice\\Start Menu)",
                 "ShortcutScan(COMMON DESKTOP, C:\\Users\\Public\\Desktop)",
                 "ShortcutScan(COMMON START MENU, C:\\ProgramData\\Microsoft\\Windows\\Start "
                 "Menu)"}));
  EXPECT_FALSE(AliceLoaded());
  EXPECT_EQ(hives.LoadedCount(), 0u);
  EXPECT_EQ(h.registry.OpenHandleCount(), 0u);
  EXPECT_EQ(report.Messages(), (Log{testing::kCarolLeftOut, testing::kDaveLeftOut}));
  // The report written at the end of the scan holds them.
  EXPECT_NE(writer.files["C:\\zeb.csv"].find(testing::kDaveLeftOut), std::string::npos);
  EXPECT_EQ(h.program().State().scannedHives.size(), 1u);
}

TEST_F(AllUsersScanTest, AReportOnlyRunLoadsAndUnloadsTheHivesAroundItsScanToo) {
  h.mode.reportOnly = true;
  h.scanners.onCall = [this](ScanContext& context, const std::string& call) {
    if (call != "SearchRegistryTree(HKEY_USERS, )") return;
    aliceLoadedInSearch = AliceLoaded();
    context.changes.AddChange(hkey::kUsers, kChangeVariableContents,
                              std::string("\\") + kAliceSid + "\\Software", "Server", "CN=New");
  };
  Run("/STEALTH /ALLUSERS");
  EXPECT_EQ(aliceLoadedInSearch, true);
  EXPECT_FALSE(AliceLoaded());
  EXPECT_EQ(hives.LoadedCount(), 0u);
  EXPECT_NE(writer.files["C:\\zeb.csv"].find(testing::kCarolLeftOut), std::string::npos);
  EXPECT_NE(writer.files["C:\\zeb.csv"].find(",proposed\r\n"), std::string::npos);
}

TEST_F(AllUsersScanTest, TheAreaBoxesGovernEveryUsersFolders) {
  Run("/ALLUSERS /NODESK");
  EXPECT_EQ(ShortcutScans(),
            (Log{"ShortcutScan(START MENU, C:\\Users\\Bob\\Start Menu)",
                 "ShortcutScan(START MENU OF alice, C:\\Users\\alice\\Start Menu)",
                 "ShortcutScan(COMMON START MENU, C:\\ProgramData\\Microsoft\\Windows\\Start "
                 "Menu)"}));
}

TEST_F(AllUsersScanTest, WithoutTheSwitchNothingIsLoadedAndOnlyTheCurrentUserScanned) {
  WatchTheUsersSearch();
  Run("/STEALTH");
  EXPECT_EQ(aliceLoadedInSearch, false);
  EXPECT_EQ(ShortcutScans(), (Log{"ShortcutScan(DESKTOP, C:\\Users\\Bob\\Desktop)",
                                  "ShortcutScan(START MENU, C:\\Users\\Bob\\Start Menu)"}));
  EXPECT_TRUE(report.Messages().empty());
  EXPECT_TRUE(h.program().State().scannedHives.empty());
}

TEST_F(AllUsersScanTest, WithoutThePrivilegesEveryProfileIsLeftOutAndTheScanGoesOn) {
  hives.privilegesHeld = false;
  Run("/ALLUSERS");
  EXPECT_EQ(report.Messages().size(), 3u);
  EXPECT_NE(report.Messages()[0].find(kAliceSid), std::string::npos);
  EXPECT_NE(report.Messages()[0].find("(access denied)"), std::string::npos);
  EXPECT_TRUE(h.Logged("SearchRegistryTree(HKEY_USERS, )"));
  EXPECT_TRUE(h.Logged("Label3 = Workstation Scan Completed"));
}

// The walk holds keys of the hive open; Exit unloading at once would meet them and leave the
// hive loaded. The scan stops at its next message point instead and unloads first.
TEST_F(AllUsersScanTest, ExitInTheMiddleOfTheScanUnloadsTheHivesBeforeTheProgramEnds) {
  h.scanners.onCall = [this](ScanContext& context, const std::string& call) {
    if (call != "SearchRegistryTree(HKEY_USERS, )") return;
    Registry walk(h.registry, hkey::kUsers);
    ASSERT_TRUE(walk.OpenKey(std::string("\\") + kAliceSid + "\\Software", false));
    h.program().OnExitClick();  // pressed while messages are processed
    EXPECT_TRUE(h.control.exitCodes.empty());
    EXPECT_TRUE(AliceLoaded());
    context.view.ProcessMessages();
    ADD_FAILURE() << "the scan went on after Exit";
  };
  Run("/ALLUSERS");
  EXPECT_EQ(h.control.exitCodes, std::vector<int>{0});
  EXPECT_FALSE(AliceLoaded());
  EXPECT_EQ(h.registry.OpenHandleCount(), 0u);
  EXPECT_EQ(report.Messages(), (Log{testing::kCarolLeftOut, testing::kDaveLeftOut}));
  EXPECT_FALSE(h.Logged("Label3 = Workstation Scan Completed"));
}

TEST_F(AllUsersScanTest, AHiveThatCannotBeUnloadedIsReported) {
  std::optional<Registry> leaked;
  h.scanners.onCall = [&](ScanContext&, const std::string& call) {
    if (call != "SearchRegistryTree(HKEY_USERS, )") return;
    leaked.emplace(h.registry, hkey::kUsers);
    ASSERT_TRUE(leaked->OpenKey(std::string("\\") + kAliceSid, false));
  };
  Run("/ALLUSERS");
  ASSERT_EQ(report.Messages().size(), 3u);
  EXPECT_EQ(report.Messages()[2],
            "The hive of profile S-1-5-21-1-1-1-1001 stays loaded under HKEY_USERS: it cannot "
            "be unloaded (error 5)");
  leaked.reset();
  EXPECT_EQ(hives.UnLoadKey(hkey::kUsers, kAliceSid), winerr::kSuccess);
}

}  // namespace
}  // namespace zeb
