// Save over each backend: the same changes must end up the same in Wine's Registry, INI files
// and shortcut files as in the memory ones. Keys live below Software\ZebSaveContract\<test> of
// HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER, files in a fresh folder of each test; "Last Run"
// goes where the program puts it and is removed again. The spooler commands and pauses are
// only recorded.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "changes/key_tree.h"
#include "contract/backend.h"
#include "platform/registry.h"
#include "support/save_setup.h"

namespace zeb::contract {
namespace {

using S = LineStatus;
using Strings = std::vector<std::string>;

constexpr RegKey kHklm = hkey::kLocalMachine;
constexpr RegKey kHkcu = hkey::kCurrentUser;
constexpr char kScratchParent[] = "\\Software\\ZebSaveContract";
constexpr char kOwnKey[] = "\\Software\\Varnok\\Consulting\\ZEB";
constexpr char kLastRun[] = "Last Run";
constexpr char kConfirmation[] =
    "Clicking OK will cause selected changes to be written to this workstation.";

std::vector<std::uint8_t> Sz(std::string text) {
  text.push_back('\0');
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

// Puts the program's own key back as the test found it: whatever part of its path the test
// made is removed, and a "Last Run" that was there before gets its old value back.
class OwnKeyKeeper {
 public:
  OwnKeyKeeper() {
    zeb::Registry registry(Registry(), kHklm);
    const std::string own = kOwnKey;
    for (std::size_t end = own.find('\\', 1); ; end = own.find('\\', end + 1)) {
      const std::string path = own.substr(0, end);
      if (path != "\\Software" && !registry.KeyExists(path)) {
        firstMade_ = path;
        return;
      }
      if (end == std::string::npos) break;
    }
    registry.OpenKey(kOwnKey, false);
    RegValue value;
    if (Registry().QueryValue(registry.CurrentKey(), kLastRun, &value.type, &value.data) ==
        winerr::kSuccess)
      lastRun_ = value;
  }
  ~OwnKeyKeeper() {
    if (!firstMade_.empty()) {
      DeleteKeyTree(Registry(), kHklm, firstMade_);
      return;
    }
    zeb::Registry registry(Registry(), kHklm);
    if (!registry.OpenKey(kOwnKey, false)) return;
    if (lastRun_)
      Registry().SetValue(registry.CurrentKey(), kLastRun, lastRun_->type, lastRun_->data);
    else
      registry.DeleteValue(kLastRun);
  }
  OwnKeyKeeper(const OwnKeyKeeper&) = delete;
  OwnKeyKeeper& operator=(const OwnKeyKeeper&) = delete;

 private:
  std::string firstMade_;
  std::optional<RegValue> lastRun_;
};

class SaveContract : public ::testing::Test, protected testing::SaveSetup {
 protected:
  SaveContract() : SaveSetup(Registry(), Profiles(), Files(), ShellLinks(), System(), FileBytes()) {}

  void SetUp() override {
    scratch_ = std::string(kScratchParent) + "\\" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
    RemoveScratchKeys();
    folder_ = NewFolder();
    iniFile = folder_ + "\\NET.INI";
    lastRunBefore_ = LastRun();
  }
  void TearDown() override { RemoveScratchKeys(); }
  static void TearDownTestSuite() {
    for (RegKey root : {kHklm, kHkcu}) DeleteKeyTree(Registry(), root, kScratchParent);
  }

  // A key path below the test's own key, the same under either root.
  std::string Key(const std::string& relative) const { return scratch_ + "\\" + relative; }
  // The same path as scanners sometimes hand it over, without its leading backslash.
  std::string KeyWithoutBackslash(const std::string& relative) const {
    return Key(relative).substr(1);
  }
  std::string File(const std::string& name) const { return folder_ + "\\" + name; }
  std::string LastRun() { return String(kHklm, kOwnKey, kLastRun); }

  // Save over the same backend with a list, view and flags of its own.
  static testing::SaveSetup AnotherRun() {
    return testing::SaveSetup(Registry(), Profiles(), Files(), ShellLinks(), System(), FileBytes());
  }

  std::string lastRunBefore_;  // "<missing>" on a machine where the program never ran

 private:
  void RemoveScratchKeys() {
    for (RegKey root : {kHklm, kHkcu}) DeleteKeyTree(Registry(), root, scratch_);
  }

  OwnKeyKeeper ownKey_;
  std::string scratch_;
  std::string folder_;
};

// --- Starting, or not -----------------------------------------------------------------

TEST_F(SaveContract, AnEmptyListDoesNothingAtAll) {
  flags.promptUser = true;
  system.platformId = platformid::kWindowsNt;
  flags.startingDateGiven = true;
  view.cursor = Cursor::kArrow;

  const SaveResult result = Save();

  EXPECT_EQ(result.ending, SaveEnding::kNothingToSave);
  EXPECT_TRUE(view.confirmations.empty());
  EXPECT_EQ(saveButtonDisabled, 0);
  EXPECT_TRUE(system.commands.empty());
  EXPECT_TRUE(view.statusHistory.empty());
  EXPECT_EQ(view.cursor, Cursor::kArrow);
  EXPECT_FALSE(flags.changesMade);
  EXPECT_EQ(LastRun(), lastRunBefore_);
}

TEST_F(SaveContract, CancelAtTheConfirmationWritesNothingAndKeepsSaveEnabled) {
  flags.promptUser = true;
  flags.startingDateGiven = true;
  view.answerOk = false;
  SetString(kHklm, Key("K"), "V", "old");
  Add(kHklm, kChangeVariableContents, Key("K"), "V", "new");

  const SaveResult result = Save();

  EXPECT_EQ(result.ending, SaveEnding::kCancelled);
  EXPECT_EQ(view.confirmations, Strings{kConfirmation});
  EXPECT_EQ(String(kHklm, Key("K"), "V"), "old");
  EXPECT_EQ(saveButtonDisabled, 0);
  EXPECT_FALSE(flags.changesMade);
  EXPECT_EQ(LastRun(), lastRunBefore_);
}

TEST_F(SaveContract, ConfirmedOrUnpromptedSaveWritesAndEndsCleanly) {
  for (bool prompt : {true, false}) {
    SCOPED_TRACE(prompt);
    testing::SaveSetup run = AnotherRun();
    run.flags.promptUser = prompt;
    run.Add(kHklm, kChangeVariableContents, Key("K"), "V", prompt ? "ok" : "quiet");
    run.view.status[StatusLine::kMain1] = "Press the Save button to write changes.";

    const SaveResult result = run.Save();

    EXPECT_EQ(result.ending, SaveEnding::kCompleted);
    EXPECT_EQ(run.view.confirmations.size(), prompt ? 1u : 0u);
    EXPECT_EQ(String(kHklm, Key("K"), "V"), prompt ? "ok" : "quiet");
    EXPECT_EQ(run.saveButtonDisabled, 1);
    EXPECT_TRUE(run.flags.changesMade);
    EXPECT_EQ(run.view.cursor, Cursor::kDefault);
    for (StatusLine line : {StatusLine::kMain1, StatusLine::kMain2, StatusLine::kMain3,
                            StatusLine::kMain4})
      EXPECT_EQ(run.view.status[line], "");
  }
}

// --- Each kind of change --------------------------------------------------------------

TEST_F(SaveContract, RegistryContentsAreWrittenAsStringsOverNumbersAndMissingValues) {
  SetRaw(kHklm, Key("Varnok"), "Number", regtype::kDword, {7, 0, 0, 0});
  Add(kHklm, kChangeVariableContents, Key("Varnok"), "Number", "CN=New.O=Acme");
  Add(kHklm, kChangeVariableContents, Key("Missing\\Key"), "Ctx", "created");
  Add(kHkcu, kChangeVariableContents, Key("User"), "Ctx", "in the user's hive");

  const SaveResult result = Save();

  EXPECT_EQ(result.ending, SaveEnding::kCompleted);
  EXPECT_EQ(String(kHklm, Key("Varnok"), "Number"), "CN=New.O=Acme");  // REG_SZ now
  EXPECT_EQ(String(kHklm, Key("Missing\\Key"), "Ctx"), "created");
  EXPECT_EQ(String(kHkcu, Key("User"), "Ctx"), "in the user's hive");  // the kind is the hive
  EXPECT_FALSE(KeyExists(kHklm, Key("User")));
  EXPECT_EQ(Statuses(result), (std::vector<S>{S::kWritten, S::kWritten, S::kWritten}));
}

TEST_F(SaveContract, RegistryValueRenamesKeepTypeAndData) {
  SetString(kHklm, Key("K"), "Str", "text");
  SetRaw(kHklm, Key("K"), "Dw", regtype::kDword, {1, 2, 3, 4});
  SetRaw(kHklm, Key("K"), "Bin", regtype::kBinary, {9, 8, 7});
  SetString(kHklm, Key("K"), "StrNew", "replaced by the rename");
  Add(kHklm, kChangeVariableName, Key("K"), "Str", "StrNew");
  Add(kHklm, kChangeVariableName, Key("K"), "Dw", "DwNew");
  Add(kHklm, kChangeVariableName, Key("K"), "Bin", "BinNew");

  const SaveResult result = Save();

  EXPECT_EQ(Statuses(result), (std::vector<S>{S::kWritten, S::kWritten, S::kWritten}));
  EXPECT_EQ(String(kHklm, Key("K"), "StrNew"), "text");
  const auto dword = Value(kHklm, Key("K"), "DwNew");
  ASSERT_TRUE(dword);
  EXPECT_EQ(dword->type, regtype::kDword);
  EXPECT_EQ(dword->data, (std::vector<std::uint8_t>{1, 2, 3, 4}));
  const auto binary = Value(kHklm, Key("K"), "BinNew");
  ASSERT_TRUE(binary);
  EXPECT_EQ(binary->type, regtype::kBinary);
  EXPECT_EQ(binary->data, (std::vector<std::uint8_t>{9, 8, 7}));
  EXPECT_FALSE(Value(kHklm, Key("K"), "Str"));
  EXPECT_FALSE(Value(kHklm, Key("K"), "Dw"));
  EXPECT_FALSE(Value(kHklm, Key("K"), "Bin"));
}

TEST_F(SaveContract, ExpandableStringsStayExpandableWhenRenamedOrChanged) {
  const std::string env = Key("Env");
  SetRaw(kHklm, env, "Path", regtype::kExpandString, Sz("%SystemRoot%\\system32"));
  SetRaw(kHklm, env, "Temp", regtype::kExpandString, Sz("%TEMP%\\old"));
  SetString(kHklm, env, "TempDir", "a REG_SZ the rename replaces");
  SetRaw(kHklm, env, "Home", regtype::kExpandString, Sz("%HOMEPATH%"));
  Add(kHklm, kChangeVariableName, env, "Path", "SystemPath");
  Add(kHklm, kChangeVariableContents, env, "Temp", "%TEMP%\\new");
  Add(kHklm, kChangeVariableName, env, "Temp", "TempDir");
  Add(kHklm, kChangeVariableName, env, "Home", "Profile");
  Add(kHklm, kChangeVariableContents, env, "Home", "%USERPROFILE%");  // after its rename

  EXPECT_EQ(Save().ending, SaveEnding::kCompleted);

  const auto expectExpandable = [&](const std::string& name, const std::string& text) {
    const auto value = Value(kHklm, env, name);
    ASSERT_TRUE(value) << name;
    EXPECT_EQ(value->type, regtype::kExpandString) << name;
    EXPECT_EQ(value->data, Sz(text)) << name;
  };
  expectExpandable("SystemPath", "%SystemRoot%\\system32");
  expectExpandable("TempDir", "%TEMP%\\new");
  expectExpandable("Profile", "%USERPROFILE%");
  EXPECT_EQ(ValueNames(kHklm, env), (Strings{"Profile", "SystemPath", "TempDir"}));
}

TEST_F(SaveContract, ValuesThatCannotBeCopiedAreNotRenamedAndNothingIsDeleted) {
  SetRaw(kHklm, Key("K"), "Multi", regtype::kMultiString, {'a', 0, 'b', 0, 0});
  SetString(kHklm, Key("K"), "MultiNew", "must survive");
  Add(kHklm, kChangeVariableName, Key("K"), "Multi", "MultiNew");
  Add(kHklm, kChangeVariableName, Key("K"), "Absent", "MultiNew");
  Add(kHklm, kChangeVariableName, Key("NoSuchKey"), "X", "Y");
  Add(kHklm, kChangeVariableContents, Key("K"), "After", "still written");

  const SaveResult result = Save();

  EXPECT_EQ(result.ending, SaveEnding::kCompleted);
  const auto multi = Value(kHklm, Key("K"), "Multi");
  ASSERT_TRUE(multi);
  EXPECT_EQ(multi->type, regtype::kMultiString);
  EXPECT_EQ(String(kHklm, Key("K"), "MultiNew"), "must survive");
  EXPECT_FALSE(KeyExists(kHklm, Key("NoSuchKey")));  // a rename creates no key
  EXPECT_EQ(String(kHklm, Key("K"), "After"), "still written");
  EXPECT_EQ(Statuses(result), (std::vector<S>{S::kFailed, S::kFailed, S::kFailed, S::kWritten}));
  EXPECT_EQ(result.outcomes[0].error, "Value 'Multi' has a type that cannot be renamed");
  EXPECT_EQ(result.outcomes[1].error, "Value 'Absent' not found");
}

TEST_F(SaveContract, BinaryValuesOfAnySizeAreRenamedWhole) {
  std::vector<std::uint8_t> big(40000);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7);
  SetRaw(kHklm, Key("K"), "Big", regtype::kBinary, big);
  Add(kHklm, kChangeVariableName, Key("K"), "Big", "Bigger");

  const SaveResult result = Save();

  EXPECT_EQ(result.ending, SaveEnding::kCompleted);
  const auto renamed = Value(kHklm, Key("K"), "Bigger");
  ASSERT_TRUE(renamed);
  EXPECT_EQ(renamed->data, big);
  EXPECT_FALSE(Value(kHklm, Key("K"), "Big"));
}

TEST_F(SaveContract, ARenameThatOnlyChangesLetterCaseKeepsTheValue) {
  SetString(kHklm, Key("K"), "context", "data");
  // \xE9 / \xC9: e-acute and E-acute, which the Registry also treats as one name.
  SetString(kHklm, Key("K"), "caf\xE9", "accented");
  Add(kHklm, kChangeVariableName, Key("K"), "context", "CONTEXT");
  Add(kHklm, kChangeVariableName, Key("K"), "caf\xE9", "CAF\xC9");
  SetIni("Net", "context", "ini data");
  SetIni("Net", "caf\xE9", "accented ini data");
  Add(changekind::kIniEntry, kChangeVariableName, iniFile, "[Net]context", "Context");
  Add(changekind::kIniEntry, kChangeVariableName, iniFile, "[Net]caf\xE9", "CAF\xC9");

  EXPECT_EQ(Save().ending, SaveEnding::kCompleted);

  EXPECT_EQ(String(kHklm, Key("K"), "CONTEXT"), "data");
  EXPECT_EQ(String(kHklm, Key("K"), "CAF\xC9"), "accented");
  EXPECT_EQ(ValueNames(kHklm, Key("K")), (Strings{"CAF\xC9", "CONTEXT"}));
  EXPECT_EQ(Ini("Net", "Context"), "ini data");
  EXPECT_EQ(Ini("Net", "CAF\xC9"), "accented ini data");
  EXPECT_EQ(IniKeys("Net"), (Strings{"Context", "CAF\xC9"}));
}

TEST_F(SaveContract, IniContentsAndRenames) {
  SetIni("Net", "Ctx", "old");
  SetIni("Net", "Server", std::string(1500, 's'));
  SetIni("Net", "Existing", "overwritten");
  Add(changekind::kIniEntry, kChangeVariableContents, iniFile, "[Net]Ctx", "NEW.O");
  Add(changekind::kIniEntry, kChangeVariableContents, iniFile, "[Fresh]Var", "made");
  Add(changekind::kIniEntry, kChangeVariableName, iniFile, "[Net]Server", "Existing");
  Add(changekind::kIniEntry, kChangeVariableName, iniFile, "[Net]Missing", "Empty");
  Add(changekind::kIniEntry, kChangeVariableContents, iniFile, "[Net", "no section end");

  const SaveResult result = Save();

  EXPECT_EQ(Statuses(result),
            (std::vector<S>{S::kWritten, S::kWritten, S::kWritten, S::kWritten, S::kFailed}));
  EXPECT_EQ(result.outcomes[4].error, "Invalid INI entry '[Net'");
  EXPECT_EQ(Ini("Net", "Ctx"), "NEW.O");
  EXPECT_EQ(Ini("Fresh", "Var"), "made");
  EXPECT_EQ(Ini("Net", "Existing"), std::string(1023, 's'));  // read through 1024 bytes
  EXPECT_EQ(Ini("Net", "Server"), "");
  const auto keys = IniKeys("Net");
  EXPECT_EQ(std::count(keys.begin(), keys.end(), "Server"), 0);
  EXPECT_EQ(std::count(keys.begin(), keys.end(), "Empty"), 1);  // written with no value
  EXPECT_EQ(Ini("Net", "Empty"), "");
}

TEST_F(SaveContract, EachShortcutFieldIsWritten) {
  const std::string app = File("App.lnk");
  MakeShortcut(app, {"\\\\T\\OLD\\app.exe", "\\\\T\\OLD", "/s OLD"});
  Add(changekind::kShortcutFile, kChangeShortcutPath, app, "\\\\T\\OLD\\app.exe",
      "\\\\T\\NEW\\app.exe");
  Add(changekind::kShortcutFile, kChangeShortcutDirectory, app, "\\\\T\\OLD", "\\\\T\\NEW");
  Add(changekind::kShortcutFile, kChangeShortcutArguments, app, "/s OLD", "/s NEW");

  const SaveResult result = Save();

  EXPECT_EQ(Statuses(result), (std::vector<S>{S::kWritten, S::kWritten, S::kWritten}));
  EXPECT_EQ(Shortcut(app),
            (testing::ShortcutFields{"\\\\T\\NEW\\app.exe", "\\\\T\\NEW", "/s NEW"}));
}

TEST_F(SaveContract, AShortcutThatCannotBeLoadedGetsNothingAndSaveGoesOn) {
  MakeShortcut(File("First.lnk"), {"\\\\T\\OLD\\first.exe", "", ""});
  MakeShortcut(File("Third.lnk"), {"\\\\T\\OLD\\third.exe", "", ""});
  Add(changekind::kShortcutFile, kChangeShortcutPath, File("First.lnk"), "x", "\\\\T\\A.exe");
  Add(changekind::kShortcutFile, kChangeShortcutPath, File("Gone.lnk"), "x", "\\\\T\\B.exe");
  Add(changekind::kShortcutFile, kChangeShortcutPath, File("Third.lnk"), "x", "\\\\T\\C.exe");

  const SaveResult result = Save();

  EXPECT_EQ(result.ending, SaveEnding::kCompleted);
  EXPECT_EQ(Statuses(result), (std::vector<S>{S::kWritten, S::kFailed, S::kWritten}));
  EXPECT_EQ(result.outcomes[1].error, "Unable to load shortcut " + File("Gone.lnk"));
  // The object still held First.lnk: nothing of it may turn up as Gone.lnk.
  EXPECT_EQ(Shortcut(File("Gone.lnk")).path, "<unloadable>");
  EXPECT_EQ(Shortcut(File("First.lnk")).path, "\\\\T\\A.exe");
  EXPECT_EQ(Shortcut(File("Third.lnk")).path, "\\\\T\\C.exe");
  EXPECT_TRUE(flags.changesMade);
}

// --- The walk ---------------------------------------------------------------------------

TEST_F(SaveContract, UntickedLinesAreSkippedWhileTheWalkAdvances) {
  for (int i = 0; i < 5; ++i) SetString(kHklm, Key("K"), "V" + std::to_string(i), "old");
  for (int i = 0; i < 5; ++i)
    Add(kHklm, kChangeVariableContents, Key("K"), "V" + std::to_string(i),
        "new" + std::to_string(i));
  view.lines[0].ticked = false;
  view.lines[2].ticked = false;
  view.lines[4].ticked = false;

  const SaveResult result = Save();

  EXPECT_EQ(String(kHklm, Key("K"), "V0"), "old");
  EXPECT_EQ(String(kHklm, Key("K"), "V1"), "new1");
  EXPECT_EQ(String(kHklm, Key("K"), "V2"), "old");
  EXPECT_EQ(String(kHklm, Key("K"), "V3"), "new3");
  EXPECT_EQ(String(kHklm, Key("K"), "V4"), "old");
  EXPECT_EQ(Statuses(result),
            (std::vector<S>{S::kUnticked, S::kWritten, S::kUnticked, S::kWritten, S::kUnticked}));
  EXPECT_EQ(system.sleptMs, 2u * 2u * 100u);  // two ticked lines, one pause per pass each
}

TEST_F(SaveContract, KeyRenamesComeLastAndCarryEarlierChangesAlong) {
  SetString(kHklm, Key("CN=Old\\Sub"), "Ctx", "old");
  SetString(kHklm, Key("CN=Old"), "Keep", "kept");
  // The rename is listed first, but the value change inside the key must happen before it.
  Add(kHklm, kRenameHive, Key("CN=Old"), Key("CN=New"), "");
  Add(kHklm, kChangeVariableContents, Key("CN=Old\\Sub"), "Ctx", "new");

  const SaveResult result = Save();

  EXPECT_EQ(Statuses(result), (std::vector<S>{S::kWritten, S::kWritten}));
  EXPECT_FALSE(KeyExists(kHklm, Key("CN=Old")));
  EXPECT_EQ(String(kHklm, Key("CN=New\\Sub"), "Ctx"), "new");
  EXPECT_EQ(String(kHklm, Key("CN=New"), "Keep"), "kept");
  // Progress in order: the value change (pass 1), then the rename (pass 2).
  Strings operations = StatusesOf(StatusLine::kMain3);
  operations.erase(std::remove_if(operations.begin(), operations.end(),
                                  [](const std::string& text) {
                                    return text.empty() || text.find("Spooler") != text.npos;
                                  }),
                   operations.end());
  EXPECT_EQ(operations, (Strings{"Change variable contents", "Rename Registy Hive"}));
}

TEST_F(SaveContract, AKeyRenameReplacesAnExistingTargetOnBothPlatforms) {
  for (int platform : {platformid::kWindows9x, platformid::kWindowsNt}) {
    SCOPED_TRACE(platform);
    const std::string root = Key("P" + std::to_string(platform));
    SetString(kHklm, root + "\\Old\\Child", "V", "moved");
    SetString(kHklm, root + "\\New\\Stale", "V", "replaced");
    testing::SaveSetup run = AnotherRun();
    run.system.platformId = platform;
    run.Add(kHklm, kRenameHive, root + "\\Old", root + "\\New", "");

    EXPECT_EQ(run.Save().ending, SaveEnding::kCompleted);

    EXPECT_FALSE(KeyExists(kHklm, root + "\\Old"));
    EXPECT_FALSE(KeyExists(kHklm, root + "\\New\\Stale"));
    EXPECT_EQ(String(kHklm, root + "\\New\\Child", "V"), "moved");
  }
}

TEST_F(SaveContract, AKeyAlreadyCarriedAlongByItsParentsRenameLeavesTheTargetAlone) {
  SetString(kHklm, Key("CN=Old\\CN=Old"), "V", "inner");
  SetString(kHklm, Key("CN=Old"), "V", "outer");
  system.platformId = platformid::kWindowsNt;
  Add(kHklm, kRenameHive, Key("CN=Old"), Key("CN=New"), "");
  Add(kHklm, kRenameHive, Key("CN=Old\\CN=Old"), Key("CN=New\\CN=Old"), "");
  Add(kHklm, kRenameHive, Key("Nowhere"), Key("CN=New"), "");

  const SaveResult result = Save();

  EXPECT_EQ(String(kHklm, Key("CN=New"), "V"), "outer");
  EXPECT_EQ(String(kHklm, Key("CN=New\\CN=Old"), "V"), "inner");  // not deleted
  EXPECT_EQ(Statuses(result), (std::vector<S>{S::kWritten, S::kWritten, S::kFailed}));
  EXPECT_EQ(result.outcomes[2].error, "Key '" + Key("Nowhere") + "' not found");
}

TEST_F(SaveContract, AKeyIsNeverRenamedOntoItselfOrItsOwnBranch) {
  SetString(kHklm, Key("A\\B"), "V", "data");
  // \xC9 / \xE9: E-acute and e-acute, one letter to the Registry.
  SetString(kHklm, Key("\xC9t\xE9"), "V", "accented");
  SetString(kHklm, Key("\xC9t\xE9\\Inner"), "W", "inner");
  Add(kHklm, kRenameHive, Key("A"), Key("A"), "");
  Add(kHklm, kRenameHive, Key("A"), Key("a\\B\\C"), "");
  Add(kHklm, kRenameHive, Key("A\\B"), Key("A"), "");
  Add(kHklm, kRenameHive, Key("\xC9t\xE9"), Key("\xE9t\xE9\\Sub"), "");
  Add(kHklm, kRenameHive, Key("\xC9t\xE9\\Inner"), Key("\xE9T\xC9"), "");

  const SaveResult result = Save();

  EXPECT_EQ(Statuses(result),
            (std::vector<S>{S::kFailed, S::kFailed, S::kFailed, S::kFailed, S::kFailed}));
  EXPECT_EQ(result.outcomes[3].error, "Cannot rename key '" + Key("\xC9t\xE9") +
                                          "' to itself, a key above it or a key below it");
  EXPECT_EQ(String(kHklm, Key("A\\B"), "V"), "data");
  EXPECT_FALSE(KeyExists(kHklm, Key("A\\B\\C")));
  EXPECT_EQ(String(kHklm, Key("\xC9t\xE9"), "V"), "accented");
  EXPECT_FALSE(KeyExists(kHklm, Key("\xC9t\xE9\\Sub")));
  EXPECT_EQ(String(kHklm, Key("\xC9t\xE9\\Inner"), "W"), "inner");
}

TEST_F(SaveContract, ARenameThatOnlyChangesLetterCaseRenamesTheKeyInPlace) {
  for (int platform : {platformid::kWindows9x, platformid::kWindowsNt}) {
    SCOPED_TRACE(platform);
    const std::string parent = Key("P" + std::to_string(platform));
    // "Search and Replace" of "Caf\xE9" by "CAF\xC9", and a plain ASCII one.
    SetString(kHklm, parent + "\\Caf\xE9", "", "default");
    SetString(kHklm, parent + "\\Caf\xE9\\Sub\\Deeper", "V", "deep");
    SetString(kHklm, parent + "\\Mixed\\Sub", "V", "ascii");
    testing::SaveSetup run = AnotherRun();
    run.system.platformId = platform;
    run.Add(kHklm, kRenameHive, parent + "\\Caf\xE9", parent + "\\CAF\xC9", "");
    run.Add(kHklm, kRenameHive, parent + "\\Mixed", parent + "\\MIXED", "");

    const SaveResult result = run.Save();

    EXPECT_EQ(Statuses(result), (std::vector<S>{S::kWritten, S::kWritten}));
    zeb::Registry registry(Registry(), kHklm);
    ASSERT_TRUE(registry.OpenKey(parent, false));
    EXPECT_EQ(registry.GetKeyNames(), (Strings{"CAF\xC9", "MIXED"}));  // nothing left aside
    EXPECT_EQ(String(kHklm, parent + "\\CAF\xC9", ""), "default");
    EXPECT_EQ(String(kHklm, parent + "\\CAF\xC9\\Sub\\Deeper", "V"), "deep");
    EXPECT_EQ(String(kHklm, parent + "\\MIXED\\Sub", "V"), "ascii");
    ASSERT_TRUE(registry.OpenKey(parent + "\\CAF\xC9", false));
    EXPECT_EQ(registry.GetKeyNames(), Strings{"Sub"});
  }
}

TEST_F(SaveContract, KeyPathsWithoutLeadingBackslashCountFromTheRoot) {
  SetString(kHklm, Key("Printers\\CN=Old"), "Port", "x");
  SetString(kHklm, Key("Elsewhere"), "Keep", "y");
  Add(kHklm, kChangeVariableContents, KeyWithoutBackslash("Elsewhere"), "Ctx", "plain");
  Add(kHklm, kRenameHive, Key("Printers\\CN=Old"), KeyWithoutBackslash("Printers\\CN=New"), "");

  const SaveResult result = Save();

  EXPECT_EQ(Statuses(result), (std::vector<S>{S::kWritten, S::kWritten}));
  EXPECT_EQ(String(kHklm, Key("Elsewhere"), "Ctx"), "plain");
  EXPECT_EQ(String(kHklm, Key("Printers\\CN=New"), "Port"), "x");
  EXPECT_FALSE(KeyExists(kHklm, Key("Printers\\CN=Old")));
}

TEST_F(SaveContract, NameAndContentsOfOneValueBothTickedGiveOneValue) {
  // Both orders, for a Registry value and for an INI variable.
  SetString(kHklm, Key("K"), "A", "old a");
  SetString(kHklm, Key("K"), "B", "old b");
  Add(kHklm, kChangeVariableName, Key("K"), "A", "A2");
  Add(kHklm, kChangeVariableContents, KeyWithoutBackslash("K"), "a", "new a");
  Add(kHklm, kChangeVariableContents, Key("K"), "B", "new b");
  Add(kHklm, kChangeVariableName, Key("K"), "B", "B2");
  SetIni("S", "X", "old x");
  SetIni("S", "Y", "old y");
  Add(changekind::kIniEntry, kChangeVariableName, iniFile, "[S]X", "X2");
  Add(changekind::kIniEntry, kChangeVariableContents, iniFile, "[s]x", "new x");
  Add(changekind::kIniEntry, kChangeVariableContents, iniFile, "[S]Y", "new y");
  Add(changekind::kIniEntry, kChangeVariableName, iniFile, "[S]Y", "Y2");

  EXPECT_EQ(Save().ending, SaveEnding::kCompleted);

  EXPECT_EQ(ValueNames(kHklm, Key("K")), (Strings{"A2", "B2"}));
  EXPECT_EQ(String(kHklm, Key("K"), "A2"), "new a");
  EXPECT_EQ(String(kHklm, Key("K"), "B2"), "new b");
  EXPECT_EQ(IniKeys("S"), (Strings{"X2", "Y2"}));
  EXPECT_EQ(Ini("S", "X2"), "new x");
  EXPECT_EQ(Ini("S", "Y2"), "new y");
}

// --- Platform, progress and "Last Run" ------------------------------------------------

TEST_F(SaveContract, TheSpoolerIsStoppedAndStartedOnWindowsNtOnly) {
  SetIni("S", "X", "old");
  Add(changekind::kIniEntry, kChangeVariableContents, iniFile, "[S]X", "new");

  system.platformId = platformid::kWindows9x;
  Save();
  EXPECT_TRUE(system.commands.empty());

  system.platformId = platformid::kWindowsNt;
  Save();  // no key rename listed: the spooler is still stopped and started
  EXPECT_EQ(system.commands, (Strings{"NET STOP SPOOLER", "NET START SPOOLER"}));
  EXPECT_EQ(system.showStates, (std::vector<int>{0, 0}));  // hidden
  EXPECT_EQ(StatusesOf(StatusLine::kMain3),
            (Strings{"Change variable contents", "", "Stopping Spooler Service",
                     "Change variable contents", "Starting Spooler Service", ""}));
  EXPECT_EQ(Ini("S", "X"), "new");
}

TEST_F(SaveContract, NormalProgressFillsTheMainLabelsAndPauses) {
  system.platformId = platformid::kWindows9x;
  Add(changekind::kIniEntry, kChangeVariableContents, iniFile, "[S]X", "new");
  Add(kHklm, kRenameHive, Key("Old"), Key("New"), "");
  SetString(kHklm, Key("Old"), "V", "v");

  Save();

  using L = StatusLine;
  const std::vector<std::pair<L, std::string>> expected = {
      // first pass: the INI change is written, the rename only shown
      {L::kMain3, "Change variable contents"},
      {L::kMain2, iniFile}, {L::kMain4, "[S]X"}, {L::kMain1, "new"},
      {L::kMain2, Key("Old")}, {L::kMain4, Key("New")}, {L::kMain1, ""},
      // second pass: the rename is written
      {L::kMain2, iniFile}, {L::kMain4, "[S]X"}, {L::kMain1, "new"},
      {L::kMain3, "Rename Registy Hive"},
      {L::kMain2, Key("Old")}, {L::kMain4, Key("New")}, {L::kMain1, ""},
      // the end
      {L::kMain1, ""}, {L::kMain2, ""}, {L::kMain3, ""}, {L::kMain4, ""}};
  EXPECT_EQ(view.statusHistory, expected);
  EXPECT_EQ(system.sleptMs, 400u);
  EXPECT_EQ(String(kHklm, Key("New"), "V"), "v");
}

TEST_F(SaveContract, StealthProgressUsesTheSplashLinesWithoutPauses) {
  flags.stealthMode = true;
  system.platformId = platformid::kWindowsNt;
  const std::string link = File("a.lnk");
  const std::string oldKey = Key("Old");
  const std::string newKey = Key("New");
  Add(changekind::kShortcutFile, kChangeShortcutArguments, link, "/a", "/b");
  Add(kHklm, kRenameHive, oldKey, newKey, "");
  view.statusHistory.clear();  // AddChange's "Updates: n"
  MakeShortcut(link, {"C:\\x.exe", "", "/a"});
  SetString(kHklm, oldKey, "V", "v");

  Save();

  using L = StatusLine;
  const std::vector<std::pair<L, std::string>> expected = {
      {L::kSplash3, "Stopping "},
      {L::kSplash3, "Changing "},
      {L::kSplash3, "Changing " + link}, {L::kSplash4, "/a"},
      {L::kSplash3, "Changing " + link + oldKey}, {L::kSplash4, newKey},
      {L::kSplash3, "Changing " + link + oldKey + link}, {L::kSplash4, "/a"},
      {L::kSplash3, "Renaming "},
      {L::kSplash3, "Renaming " + oldKey}, {L::kSplash4, newKey},
      {L::kSplash3, "Starting "},
      {L::kMain1, ""}, {L::kMain2, ""}, {L::kMain3, ""}, {L::kMain4, ""}};
  EXPECT_EQ(view.statusHistory, expected);
  EXPECT_EQ(system.sleptMs, 0u);
  EXPECT_EQ(Shortcut(link).arguments, "/b");
}

TEST_F(SaveContract, LastRunIsRecordedOnlyUnderStarting) {
  SetString(kHklm, Key("K"), "V", "old");
  Add(kHklm, kChangeVariableContents, Key("K"), "V", "new");
  system.today = Date{2027, 3, 4};
  system.shortDateFormat = "dd.MM.yyyy";

  Save();
  EXPECT_EQ(LastRun(), lastRunBefore_);

  flags.startingDateGiven = true;
  Save();
  EXPECT_EQ(LastRun(), "04.03.2027");
}

// --- The key tree operations of the renames ----------------------------------------------

TEST_F(SaveContract, AKeyTreeMovesIntoATargetInTheWaySubkeyBySubkey) {
  SetString(kHklm, Key("T\\From\\X\\Y"), "V", "deep");
  SetString(kHklm, Key("T\\From"), "Top", "top");
  SetString(kHklm, Key("T\\To\\Z"), "V", "in the way");

  MoveKeyTree(Registry(), kHklm, Key("T\\From"), Key("T\\To"));

  EXPECT_EQ(String(kHklm, Key("T\\To\\X\\Y"), "V"), "deep");
  EXPECT_EQ(String(kHklm, Key("T\\To\\Z"), "V"), "in the way");
  EXPECT_EQ(String(kHklm, Key("T\\From"), "Top"), "top");  // values stay with the source
  EXPECT_FALSE(KeyExists(kHklm, Key("T\\From\\X")));

  DeleteKeyTree(Registry(), kHklm, Key("T"));
  EXPECT_FALSE(KeyExists(kHklm, Key("T")));
  DeleteKeyTree(Registry(), kHklm, Key("T"));  // a missing key is left alone
  EXPECT_FALSE(KeyExists(kHklm, Key("T")));
}

TEST_F(SaveContract, AKeyIsNeverMovedIntoItselfWhateverTheCaseOfItsLetters) {
  SetString(kHklm, Key("Soft\\\xC9t\xE9"), "V", "kept");
  zeb::Registry registry(Registry(), kHklm);

  registry.MoveKey(Key("Soft\\\xC9t\xE9"), Key("Soft\\\xE9t\xE9\\Sub"));
  MoveKeyTree(Registry(), kHklm, Key("Soft\\\xC9t\xE9"), Key("soft\\\xE9T\xC9\\Sub"));

  EXPECT_EQ(String(kHklm, Key("Soft\\\xC9t\xE9"), "V"), "kept");
  EXPECT_FALSE(KeyExists(kHklm, Key("Soft\\\xC9t\xE9\\Sub")));
}

}  // namespace
}  // namespace zeb::contract
