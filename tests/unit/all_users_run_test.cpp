// "/ALLUSERS" from start to end over the memory backend, with the real scanners and Save:
// the profiles' hives hold the new names after the run (a memory hive keeps its changes in
// its file, as on Windows), their shortcuts and the common ones hold the new targets, the
// profiles left out keep theirs, and no hive is loaded once the run is over, however Save
// ended. Then the journal of such a run rolled back: the hives it names loaded again, the
// old names back, and again no hive left loaded.
#include <gtest/gtest.h>

#include <optional>

#include "app/workstation_saver.h"
#include "app/workstation_scanner_factory.h"
#include "platform/memory/memory_append_file.h"
#include "platform/memory/memory_file_bytes.h"
#include "platform/memory/memory_file_finder.h"
#include "platform/memory/memory_hives.h"
#include "platform/memory/memory_profiles.h"
#include "platform/memory/memory_shell_links.h"
#include "support/app_harness.h"
#include "support/profiles_setup.h"
#include "support/recording_file_writer.h"

namespace zeb {
namespace {

using testing::kAliceSid;

constexpr char kAliceLink[] = "C:\\Users\\alice\\Desktop\\App.lnk";
constexpr char kCommonLink[] = "C:\\Users\\Public\\Desktop\\Common.lnk";
constexpr char kCarolLink[] = "C:\\Users\\carol\\Desktop\\Carol.lnk";
const MemoryShortcut kOldTarget{"\\\\SRV\\Acme\\app.exe", "", ""};
const MemoryShortcut kNewTarget{"\\\\SRV\\NewCo\\app.exe", "", ""};

class AllUsersRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::SeedProfiles(registry, files, system,
                          "[HKEY_CURRENT_USER\\Software\\AcmeApp]\n"
                          "\"Server\"=\"\\\\\\\\SRV\\\\Acme\"\n");
    files.MakeFolder("C:\\WINDOWS");
    files.MakeFolder("C:\\Users\\Bob\\Desktop");
    for (const char* link : {kAliceLink, kCommonLink, kCarolLink})
      WriteShortcut(files, link, kOldTarget);
    h.workstationInUse = &seams;
    h.scannersInUse = &scanners;
    h.saverInUse = &saver;
    h.hivesInUse = &hives;
    h.reportInUse = &report;
  }

  void Run(const std::string& arguments) {
    system.commandLine = "zeb.exe " + arguments;
    h.StartUp();
    h.program().OnUnattendedRunTimer();
  }

  // alice's hive as its file holds it now, loaded for a look and unloaded again.
  std::optional<std::string> AliceValue(const std::string& key, const std::string& name) {
    EXPECT_EQ(hives.EnablePrivileges(), winerr::kSuccess);
    EXPECT_EQ(hives.LoadKey(hkey::kUsers, kAliceSid, testing::kAliceHive), winerr::kSuccess);
    const std::optional<RegValue> value =
        registry.GetValue(hkey::kUsers, std::string(kAliceSid) + "\\" + key, name);
    EXPECT_EQ(hives.UnLoadKey(hkey::kUsers, kAliceSid), winerr::kSuccess);
    if (!value) return std::nullopt;
    return std::string(value->data.begin(), value->data.end()).c_str();
  }

  void ExpectNothingLoaded() {
    EXPECT_EQ(hives.LoadedCount(), 0u);
    EXPECT_FALSE(registry.HasKey(hkey::kUsers, kAliceSid));
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
  }

  MemoryRegistry registry;
  MemoryFileSystem files;
  MemoryProfiles profiles{files};
  MemoryFileFinder finder{files};
  MemoryShellLinkFactory links{files};
  MemorySystem system;
  MemoryFileBytes fileBytes{files};
  MemoryHives hives{registry, files};
  Workstation seams{registry, profiles, finder, links, system, fileBytes};
  testing::AppHarness h;
  testing::RecordingFileWriter writer;
  ChangeReport report{"C:\\zeb.csv", writer, h.view};
  WorkstationScannerFactory scanners;
  WorkstationSaver saver{seams, h.main, h.view, h.view, h.view, &report, &hives};
};

TEST_F(AllUsersRunTest, StealthWritesEveryProfileDoneAndLeavesOutTheOthers) {
  Run("/STEALTH /ALLUSERS /SEARCH=Acme /REPLACE=NewCo");
  EXPECT_TRUE(h.view.errors.empty());
  EXPECT_EQ(h.control.exitCodes, std::vector<int>{0});
  ExpectNothingLoaded();

  EXPECT_EQ(AliceValue("Software\\NewCoApp", "Server"), "\\\\SRV\\NewCo");
  EXPECT_EQ(AliceValue("Software\\AcmeApp", "Server"), std::nullopt);
  EXPECT_EQ(ReadShortcut(files, kAliceLink), kNewTarget);
  EXPECT_EQ(ReadShortcut(files, kCommonLink), kNewTarget);
  EXPECT_EQ(ReadShortcut(files, kCarolLink), kOldTarget);

  const std::string& text = writer.files["C:\\zeb.csv"];
  const std::string hive = std::string("\\") + kAliceSid + "\\Software\\AcmeApp";
  EXPECT_NE(text.find("HKEY_USERS,3," + hive + ",Server,\\\\SRV\\NewCo,written\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find(std::string(",") + kAliceLink + ",\\\\SRV\\Acme\\app.exe,"
                      "\\\\SRV\\NewCo\\app.exe,written\r\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find(",proposed\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find(testing::kCarolLeftOut), std::string::npos);
  EXPECT_NE(text.find(testing::kDaveLeftOut), std::string::npos);
  // Each left-out profile is told once, although Save loaded the hives again.
  EXPECT_EQ(report.Messages().size(), 2u);
}

TEST_F(AllUsersRunTest, ACancelledConfirmationUnloadsWithoutWriting) {
  h.view.answerOk = false;
  Run("/AUTO /ALLUSERS /SEARCH=Acme /REPLACE=NewCo");
  EXPECT_EQ(h.view.confirmations.size(), 1u);
  ExpectNothingLoaded();
  EXPECT_EQ(AliceValue("Software\\AcmeApp", "Server"), "\\\\SRV\\Acme");
  EXPECT_EQ(ReadShortcut(files, kAliceLink), kOldTarget);
}

TEST_F(AllUsersRunTest, ASaveErrorInAHiveStillUnloadsIt) {
  registry.FailWrites(hkey::kUsers, std::string(kAliceSid) + "\\Software\\AcmeApp");
  Run("/STEALTH /ALLUSERS /SEARCH=Acme /REPLACE=NewCo");
  EXPECT_EQ(h.view.errors, std::vector<std::string>{"Failed to set data for 'Server'"});
  EXPECT_EQ(h.control.exitCodes, std::vector<int>{static_cast<int>(ExitCode::kSaveFailed)});
  ExpectNothingLoaded();
  EXPECT_EQ(AliceValue("Software\\AcmeApp", "Server"), "\\\\SRV\\Acme");
}

TEST_F(AllUsersRunTest, WithoutTheSwitchTheOtherProfilesAreNotTouched) {
  Run("/STEALTH /SEARCH=Acme /REPLACE=NewCo");
  EXPECT_EQ(hives.LoadedCount(), 0u);
  EXPECT_EQ(ReadShortcut(files, kAliceLink), kOldTarget);
  EXPECT_EQ(ReadShortcut(files, kCommonLink), kOldTarget);
  EXPECT_EQ(AliceValue("Software\\AcmeApp", "Server"), "\\\\SRV\\Acme");
  EXPECT_TRUE(report.Messages().empty());
}

constexpr char kJournal[] = "C:\\ZEB\\run.jnl";
constexpr char kAliceHiveRecord[] =
    "hive \"S-1-5-21-1-1-1-1001\" \"C:\\\\Users\\\\alice\\\\NTUSER.DAT\" ";

// A journaled run, then a second program over the same workstation that rolls it back.
class AllUsersRollbackTest : public AllUsersRunTest {
 protected:
  void SetUp() override {
    AllUsersRunTest::SetUp();
    files.MakeFolder("C:\\ZEB");
    saver.JournalTo(kJournal, journalFiles);
  }

  void JournaledRun() {
    Run("/STEALTH /ALLUSERS /SEARCH=Acme /REPLACE=NewCo");
    ASSERT_EQ(h.control.exitCodes, std::vector<int>{0});
    journal = journalFiles.files[kJournal].flushed;
    files.WriteFile(kJournal, journal);
  }

  // `switches` as the administrator gives them beside "/ROLLBACK=".
  void RollBack(const std::string& switches, bool confirmed = true) {
    r.emplace();
    r->view.answerOk = confirmed;
    r->workstationInUse = &seams;
    r->scannersInUse = &scanners;
    r->hivesInUse = &hives;
    r->reportInUse = &rollbackReport;
    r->rollbackJournal = kJournal;
    rollbackSaver.emplace(seams, r->main, r->view, r->view, r->view, &rollbackReport, &hives);
    r->saverInUse = &*rollbackSaver;
    system.commandLine = "zeb.exe " + switches + " /ROLLBACK=" + kJournal;
    r->StartUp();
    r->program().OnUnattendedRunTimer();
  }

  // The rollback report's line of the item at `location`, without its line number.
  std::vector<std::string> RollbackLines() const {
    std::vector<std::string> lines;
    const std::string& text = writer.files.at("C:\\rollback.csv");
    for (std::size_t start = text.find("\r\n") + 2; start < text.size();) {
      const std::size_t end = text.find("\r\n", start);
      const std::string line = text.substr(start, end - start);
      lines.push_back(line.substr(line.find(',') + 1));
      start = end + 2;
    }
    return lines;
  }

  MemoryAppendFiles journalFiles;
  std::string journal;
  std::optional<testing::AppHarness> r;
  ChangeReport rollbackReport{"C:\\rollback.csv", writer, h.view};
  std::optional<WorkstationSaver> rollbackSaver;
};

TEST_F(AllUsersRollbackTest, TheJournalNamesTheLoadedHiveOnceBeforeItsFirstItem) {
  JournaledRun();
  const std::size_t hive = journal.find(kAliceHiveRecord);
  ASSERT_NE(hive, std::string::npos) << journal;
  EXPECT_EQ(journal.find(kAliceHiveRecord, hive + 1), std::string::npos);
  EXPECT_LT(hive, journal.find(std::string("HKEY_USERS \"\\\\") + kAliceSid));
  // Bob is logged on: his hive was not loaded by the run, so it is not named.
  EXPECT_EQ(journal.find(std::string("hive \"") + testing::kBobSid), std::string::npos);
  EXPECT_EQ(journal.find("hive \"", hive + 1), std::string::npos);
}

TEST_F(AllUsersRollbackTest, AStealthRollbackLoadsTheHiveRestoresItAndUnloadsIt) {
  JournaledRun();
  ASSERT_EQ(AliceValue("Software\\NewCoApp", "Server"), "\\\\SRV\\NewCo");

  RollBack("/STEALTH");
  EXPECT_TRUE(r->view.errors.empty());
  EXPECT_EQ(r->control.exitCodes, std::vector<int>{0});
  ExpectNothingLoaded();
  EXPECT_EQ(AliceValue("Software\\AcmeApp", "Server"), "\\\\SRV\\Acme");
  EXPECT_EQ(AliceValue("Software\\NewCoApp", "Server"), std::nullopt);
  EXPECT_EQ(ReadShortcut(files, kAliceLink), kOldTarget);
  EXPECT_EQ(ReadShortcut(files, kCommonLink), kOldTarget);
  const std::vector<std::string> lines = RollbackLines();
  // The key rename's two keys, the value, the two shortcut files, the journal's message.
  EXPECT_EQ(lines.size(), 6u);
  for (const std::string& line : lines) {
    if (line.find("message: ") == std::string::npos) {
      EXPECT_EQ(line.substr(line.rfind(',') + 1), "restored") << line;
    }
  }
}

TEST_F(AllUsersRollbackTest, AHiveThatCannotBeLoadedFailsItsItemsAndTheRestIsRestored) {
  JournaledRun();
  ASSERT_TRUE(files.RemoveFile(testing::kAliceHive));

  RollBack("/STEALTH");
  EXPECT_EQ(r->control.exitCodes, std::vector<int>{static_cast<int>(ExitCode::kSaveFailed)});
  ExpectNothingLoaded();
  EXPECT_FALSE(files.Exists(testing::kAliceHive));  // nothing made in its place
  EXPECT_EQ(ReadShortcut(files, kAliceLink), kOldTarget);
  EXPECT_EQ(ReadShortcut(files, kCommonLink), kOldTarget);

  const std::string failed =
      "failed: the hive C:\\Users\\alice\\NTUSER.DAT of profile S-1-5-21-1-1-1-1001 cannot "
      "be loaded (the file is missing)";
  int failedLines = 0;
  int restoredLines = 0;
  for (const std::string& line : RollbackLines()) {
    const bool inHive = line.find("HKEY_USERS,") != std::string::npos &&
                        line.find(kAliceSid) != std::string::npos;
    const std::string status = line.substr(line.rfind(',') + 1);
    if (inHive) {
      EXPECT_EQ(status, failed) << line;
      ++failedLines;
    } else if (line.find("message: ") == std::string::npos) {
      EXPECT_EQ(status, "restored") << line;
      ++restoredLines;
    }
  }
  EXPECT_EQ(failedLines, 3);  // the value and the key rename's two keys
  EXPECT_EQ(restoredLines, 2);  // alice's shortcut and the common one
}

TEST_F(AllUsersRollbackTest, AHiveLoadedByItsLoggedOnUserIsUsedAndStaysLoaded) {
  JournaledRun();
  ASSERT_EQ(hives.EnablePrivileges(), winerr::kSuccess);
  ASSERT_EQ(hives.LoadKey(hkey::kUsers, kAliceSid, testing::kAliceHive), winerr::kSuccess);

  RollBack("/STEALTH");
  EXPECT_EQ(r->control.exitCodes, std::vector<int>{0});
  EXPECT_TRUE(hives.IsLoaded(hkey::kUsers, kAliceSid));
  EXPECT_TRUE(registry.GetValue(hkey::kUsers, std::string(kAliceSid) + "\\Software\\AcmeApp",
                                "Server"));
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
  ASSERT_EQ(hives.UnLoadKey(hkey::kUsers, kAliceSid), winerr::kSuccess);
  EXPECT_EQ(AliceValue("Software\\AcmeApp", "Server"), "\\\\SRV\\Acme");
}

TEST_F(AllUsersRollbackTest, ACancelledRollbackUnloadsWithoutRestoring) {
  JournaledRun();
  RollBack("/AUTO", false);
  EXPECT_EQ(r->view.confirmations.size(), 1u);
  ExpectNothingLoaded();
  EXPECT_EQ(AliceValue("Software\\NewCoApp", "Server"), "\\\\SRV\\NewCo");
  EXPECT_EQ(ReadShortcut(files, kAliceLink), kNewTarget);
}

}  // namespace
}  // namespace zeb
