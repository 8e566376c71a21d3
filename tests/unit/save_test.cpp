// Save where the memory backend must stand in for the real one: failures injected into the
// Registry, INI files and the shortcut object, a value at the root of a hive, and keys left
// open. Everything that needs only the platform seams is in contract/save_contract.cpp and
// runs against the Win32 backend too.
#include <gtest/gtest.h>

#include "changes/key_tree.h"
#include "changes/save.h"
#include "platform/ini.h"
#include "platform/registry.h"
#include "support/memory_workstation.h"
#include "support/recording_file_writer.h"
#include "support/save_setup.h"

namespace zeb {
namespace {

constexpr RegKey kHklm = hkey::kLocalMachine;
constexpr RegKey kHku = hkey::kUsers;
constexpr char kIni[] = "C:\\WINDOWS\\NET.INI";

using testing::MemoryWorkstation;

class SaveTest : public ::testing::Test,
                 protected MemoryWorkstation,
                 protected testing::SaveSetup {
 protected:
  SaveTest() : SaveSetup(registry, profiles, finder, shellLinks, facts, fileBytes) {
    system.platformId = platformid::kWindows9x;
    files.MakeFolder("C:\\WINDOWS");
    iniFile = kIni;
  }
};

using S = LineStatus;

// A real test must not write at the root of a hive.
TEST_F(SaveTest, AValueDirectlyUnderAHiveIsWrittenAtItsRoot) {
  Add(kHku, kChangeVariableContents, "", "AtTheRoot", "root value");

  const SaveResult result = Save();

  EXPECT_EQ(Statuses(result), std::vector<S>{S::kWritten});
  EXPECT_EQ(String(kHku, "", "AtTheRoot"), "root value");
}

// --- Failures ---------------------------------------------------------------------------

TEST_F(SaveTest, ARegistryWriteFailureEndsTheRunAtThatChange) {
  system.platformId = platformid::kWindowsNt;
  flags.startingDateGiven = true;
  SetString(kHklm, "\\Locked", "V", "old");
  SetString(kHklm, "\\Old", "V", "v");
  registry.FailWrites(kHklm, "Locked");
  Add(kHklm, kChangeVariableContents, "\\Free", "V", "written before");
  Add(kHklm, kRenameHive, "\\Old", "\\New", "");
  Add(kHklm, kChangeVariableContents, "\\Locked", "V", "refused");
  Add(kHklm, kChangeVariableContents, "\\Free", "W", "never reached");
  Add(kHklm, kChangeVariableContents, "\\Free", "U", "unticked");
  view.lines[4].ticked = false;
  view.status[StatusLine::kMain1] = "Press the Save button to write changes.";

  const SaveResult result = Save();

  EXPECT_EQ(result.ending, SaveEnding::kFailed);
  EXPECT_EQ(result.error, "Failed to set data for 'V'");
  EXPECT_EQ(String(kHklm, "\\Free", "V"), "written before");
  EXPECT_EQ(String(kHklm, "\\Locked", "V"), "old");
  EXPECT_FALSE(Value(kHklm, "\\Free", "W"));
  EXPECT_TRUE(KeyExists(kHklm, "\\Old"));  // the second pass never ran
  EXPECT_FALSE(KeyExists(kHklm, "\\Software\\Varnok\\Consulting\\ZEB"));
  EXPECT_EQ(Statuses(result), (std::vector<S>{S::kWritten, S::kNotReached, S::kFailed,
                                              S::kNotReached, S::kUnticked}));
  EXPECT_EQ(result.outcomes[2].error, "Failed to set data for 'V'");
  // Save stays disabled, ChangesMade stays off, the labels keep the failed change ...
  EXPECT_EQ(saveButtonDisabled, 1);
  EXPECT_FALSE(flags.changesMade);
  EXPECT_EQ(view.status[StatusLine::kMain2], "\\Old");
  // ... but the spooler runs again and the cursor is back to normal before the message.
  EXPECT_EQ(system.commands, (std::vector<std::string>{"NET STOP SPOOLER", "NET START SPOOLER"}));
  EXPECT_EQ(view.status[StatusLine::kMain3], "Starting Spooler Service");
  EXPECT_EQ(view.cursor, Cursor::kDefault);
  EXPECT_TRUE(view.errors.empty());  // shown by the caller, not by Save
}

TEST_F(SaveTest, AKeyThatCannotBeOpenedFailsAtTheWrite) {
  registry.FailOpen(kHklm, "Closed");
  Add(kHklm, kChangeVariableContents, "\\Closed", "Ctx", "x");
  const SaveResult result = Save();
  EXPECT_EQ(result.ending, SaveEnding::kFailed);
  EXPECT_EQ(result.error, "Failed to set data for 'Ctx'");
}

TEST_F(SaveTest, ARenameWhoseNewValueCannotBeWrittenKeepsTheOldOne) {
  SetString(kHklm, "\\K", "Old", "data");
  registry.FailWrites(kHklm, "K");
  Add(kHklm, kChangeVariableName, "\\K", "Old", "New");
  const SaveResult result = Save();
  EXPECT_EQ(result.error, "Failed to set data for 'New'");
  EXPECT_EQ(String(kHklm, "\\K", "Old"), "data");
}

TEST_F(SaveTest, AKeyRenameWhoseMoveFailsGivesTheKeyItWouldReplaceBack) {
  for (int platform : {platformid::kWindows9x, platformid::kWindowsNt}) {
    SCOPED_TRACE(platform);
    const std::string soft = "\\P" + std::to_string(platform);
    SetString(kHklm, soft + "\\Old\\Locked", "V", "cannot be copied");
    SetString(kHklm, soft + "\\New\\Stale", "V", "stale");
    SetString(kHklm, soft + "\\New", "", "default");
    registry.FailOpen(kHklm, soft.substr(1) + "\\Old\\Locked");
    testing::SaveSetup run(registry, profiles, finder, shellLinks, facts, fileBytes);
    run.system.platformId = platform;
    run.Add(kHklm, kRenameHive, soft + "\\Old", soft + "\\New", "");

    const SaveResult result = run.Save();

    EXPECT_EQ(Statuses(result), std::vector<S>{S::kFailed});
    EXPECT_EQ(result.outcomes[0].error, "Unable to move key '" + soft + "\\Old'");
    EXPECT_EQ(String(kHklm, soft + "\\New\\Stale", "V"), "stale");
    EXPECT_EQ(String(kHklm, soft + "\\New", ""), "default");
    zeb::Registry layer(registry, kHklm);
    ASSERT_TRUE(layer.OpenKey(soft, false));
    EXPECT_EQ(layer.GetKeyNames(), (std::vector<std::string>{"New", "Old"}));  // nothing aside
    EXPECT_EQ(registry.OpenHandleCount(), 1u);  // the layer's own
  }
}

TEST_F(SaveTest, ATargetThatCannotBeMovedAsideStaysAndTheRenameFails) {
  SetString(kHklm, "\\Old", "V", "old");
  SetString(kHklm, "\\New\\Locked", "V", "in the way");
  registry.FailOpen(kHklm, "New\\Locked");
  Add(kHklm, kRenameHive, "\\Old", "\\New", "");

  const SaveResult result = Save();

  EXPECT_EQ(Statuses(result), std::vector<S>{S::kFailed});
  EXPECT_EQ(result.outcomes[0].error, "Unable to move key '\\Old'");
  EXPECT_EQ(String(kHklm, "\\Old", "V"), "old");
  EXPECT_TRUE(registry.HasKey(kHklm, "New\\Locked"));
  EXPECT_EQ(registry.GetValue(kHklm, "New\\Locked", "V")->data.size(), 11u);
}

TEST_F(SaveTest, AnIniWriteFailureEndsTheRunWithItsText) {
  SetIni("S", "X", "old");
  files.FailWrites(kIni);
  Add(changekind::kIniEntry, kChangeVariableContents, "C:\\WINDOWS\\OK.INI", "[S]X", "first");
  Add(changekind::kIniEntry, kChangeVariableName, kIni, "[S]X", "Y");
  Add(changekind::kIniEntry, kChangeVariableContents, "C:\\WINDOWS\\OK.INI", "[S]Z", "never");

  const SaveResult result = Save();

  EXPECT_EQ(result.ending, SaveEnding::kFailed);
  EXPECT_EQ(result.error, std::string("Unable to write to ") + kIni);
  EXPECT_EQ(IniFiles(profiles).ReadString("C:\\WINDOWS\\OK.INI", "S", "X"), "first");
  EXPECT_EQ(IniFiles(profiles).ReadString("C:\\WINDOWS\\OK.INI", "S", "Z"), "");
  EXPECT_EQ(Ini("S", "X"), "old");
  EXPECT_EQ(Statuses(result), (std::vector<S>{S::kWritten, S::kFailed, S::kNotReached}));
  EXPECT_TRUE(system.commands.empty());  // Windows 95/98
}

TEST_F(SaveTest, NoShortcutObjectEndsSaveBeforeAnythingIsWritten) {
  system.platformId = platformid::kWindowsNt;
  shellLinks.FailCreate();
  SetString(kHklm, "\\K", "V", "old");
  Add(kHklm, kChangeVariableContents, "\\K", "V", "new");

  const SaveResult result = Save();

  EXPECT_EQ(result.ending, SaveEnding::kFailed);
  EXPECT_EQ(result.error, "Unable to create the shell's shortcut object");
  EXPECT_EQ(String(kHklm, "\\K", "V"), "old");
  EXPECT_TRUE(system.commands.empty());  // the spooler was never stopped
  EXPECT_EQ(Statuses(result), std::vector<S>{S::kNotReached});
  EXPECT_EQ(saveButtonDisabled, 1);
  EXPECT_EQ(view.cursor, Cursor::kDefault);
}

TEST_F(SaveTest, ALastRunThatCannotBeWrittenEndsTheRunAfterTheChanges) {
  flags.startingDateGiven = true;
  registry.FailOpen(kHklm, "Software\\Varnok\\Consulting\\ZEB");
  Add(kHklm, kChangeVariableContents, "\\K", "V", "new");

  const SaveResult result = Save();

  EXPECT_EQ(result.ending, SaveEnding::kFailed);
  EXPECT_EQ(result.error, "Failed to set data for 'Last Run'");
  EXPECT_EQ(Statuses(result), std::vector<S>{S::kWritten});
  EXPECT_FALSE(flags.changesMade);
}

// --- The report -------------------------------------------------------------------------

TEST_F(SaveTest, TheReportIsRewrittenWithEachLinesOutcome) {
  testing::RecordingFileWriter reportFiles;
  ChangeReport changeReport("C:\\zeb.csv", reportFiles, view);
  report = &changeReport;
  SetString(kHklm, "\\K", "V", "old");
  registry.FailWrites(kHklm, "Locked");
  Add(kHklm, kChangeVariableContents, "\\K", "V", "new");
  Add(kHklm, kChangeVariableContents, "\\K", "U", "unticked");
  Add(kHklm, kChangeVariableContents, "\\Locked", "V", "x");
  Add(kHklm, kChangeVariableContents, "\\K", "W", "y");
  view.lines[1].ticked = false;

  Save();

  EXPECT_EQ(reportFiles.files["C:\\zeb.csv"],
            "\xEF\xBB\xBFline,ticked,kind,subType,location,oldText,newText,status\r\n"
            "1,1,HKEY_LOCAL_MACHINE,3,\\K,V,new,written\r\n"
            "2,0,HKEY_LOCAL_MACHINE,3,\\K,U,unticked,unticked\r\n"
            "3,1,HKEY_LOCAL_MACHINE,3,\\Locked,V,x,failed: Failed to set data for 'V'\r\n"
            "4,1,HKEY_LOCAL_MACHINE,3,\\K,W,y,not reached\r\n");

  // A cancelled Save leaves the report as the scan wrote it.
  reportFiles.files.clear();
  flags.promptUser = true;
  view.answerOk = false;
  Save();
  EXPECT_TRUE(reportFiles.files.empty());
}

// --- The key tree operations on their own ------------------------------------------------

TEST_F(SaveTest, KeyPathsCountFromTheRootAndCompareAsTheRegistryDoes) {
  EXPECT_EQ(KeyPathFromRoot("A\\B"), "\\A\\B");
  EXPECT_EQ(KeyPathFromRoot("\\A"), "\\A");
  EXPECT_EQ(KeyPathFromRoot(""), "\\");
  EXPECT_TRUE(IsKeyBelow("\\a\\b", "\\A"));
  EXPECT_FALSE(IsKeyBelow("\\AB", "\\A"));
  EXPECT_FALSE(IsKeyBelow("\\A", "\\A"));
  // Letters beyond ASCII fold too, as in the Registry: \xC9/\xE9, \x8A/\x9A, \x9F/\xFF.
  EXPECT_TRUE(IsKeyBelow("\\Soft\\\xE9t\xE9\\Sub", "\\Soft\\\xC9t\xE9"));
  EXPECT_TRUE(IsSameKey("\\Soft\\Caf\xE9", "\\SOFT\\CAF\xC9"));
  EXPECT_TRUE(IsSameKey("\\\x8A\x9F", "\\\x9A\xFF"));
  EXPECT_TRUE(IsSameKey("\\A\\\\B\\", "\\a\\b"));
  EXPECT_TRUE(IsKeyBelow("\\A\\\\B", "\\A\\"));
  EXPECT_FALSE(IsSameKey("\\Caf\xE9", "\\Cafe"));
  EXPECT_FALSE(IsSameKey("\\\xD7", "\\\xF7"));  // multiplication and division signs
}

TEST_F(SaveTest, KeyTreeOperationsCloseEveryKeyTheyOpen) {
  SetString(kHklm, "\\T\\From\\X\\Y", "V", "deep");
  SetString(kHklm, "\\T\\To\\Z", "V", "in the way");
  MoveKeyTree(registry, kHklm, "\\T\\From", "\\T\\To");  // piece by piece into the target
  EXPECT_EQ(String(kHklm, "\\T\\To\\X\\Y", "V"), "deep");
  DeleteKeyTree(registry, kHklm, "\\T");
  DeleteKeyTree(registry, kHklm, "\\T");
  EXPECT_FALSE(KeyExists(kHklm, "\\T"));
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace zeb
