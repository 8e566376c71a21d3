// Save over the platform seams: the workstation is seeded and read back through the same
// Registry, INI and shortcut layers the program uses, so these cases can run on the Win32
// backend too. Only the failure injections are the memory backend's own.
#include <gtest/gtest.h>

#include <map>

#include "changes/key_tree.h"
#include "changes/save.h"
#include "platform/ini.h"
#include "platform/memory/memory_file_finder.h"
#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_profiles.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/memory_shell_links.h"
#include "platform/memory/memory_system.h"
#include "platform/registry.h"
#include "support/recording_file_writer.h"
#include "support/recording_view.h"

namespace zeb {
namespace {

using testing::RecordingView;

constexpr RegKey kHklm = hkey::kLocalMachine;
constexpr RegKey kHku = hkey::kUsers;
constexpr char kIni[] = "C:\\WINDOWS\\NET.INI";
constexpr char kConfirmation[] =
    "Clicking OK will cause selected changes to be written to this workstation.";

class SaveTest : public ::testing::Test {
 protected:
  SaveTest() {
    flags.promptUser = false;
    flags.shortcutsTicked = true;
    system.platformId = platformid::kWindows9x;
    files.MakeFolder("C:\\WINDOWS");
    files.MakeFolder("C:\\Desk");
  }

  SaveResult Save() {
    SaveInputs inputs{workstation, changes, view, view, view, flags,
                      [this] { ++saveButtonDisabled; }, report};
    return SaveChanges(inputs);
  }

  // Seeding and reading back through the Registry layer.
  void SetString(RegKey root, const std::string& path, const std::string& name,
                 const std::string& value) {
    Registry registry(this->registry, root);
    ASSERT_TRUE(registry.OpenKey(path, true));
    registry.WriteString(name, value);
  }
  void SetRaw(RegKey root, const std::string& path, const std::string& name, std::uint32_t type,
              const std::vector<std::uint8_t>& data) {
    Registry registry(this->registry, root);
    ASSERT_TRUE(registry.OpenKey(path, true));
    ASSERT_EQ(this->registry.SetValue(registry.CurrentKey(), name, type, data), winerr::kSuccess);
  }
  // The value's type and data, or nullopt when the key or value is missing.
  std::optional<RegValue> Value(RegKey root, const std::string& path, const std::string& name) {
    Registry registry(this->registry, root);
    if (!registry.OpenKey(path, false)) return std::nullopt;
    RegValue value;
    value.name = name;
    if (this->registry.QueryValue(registry.CurrentKey(), name, &value.type, &value.data) !=
        winerr::kSuccess)
      return std::nullopt;
    return value;
  }
  std::string String(RegKey root, const std::string& path, const std::string& name) {
    const auto value = Value(root, path, name);
    if (!value) return "<missing>";
    if (value->type != regtype::kString) return "<type " + std::to_string(value->type) + ">";
    const std::string text(value->data.begin(), value->data.end());
    return text.substr(0, text.find('\0'));
  }
  bool KeyExists(RegKey root, const std::string& path) {
    return Registry(registry, root).KeyExists(path);
  }
  std::vector<std::string> ValueNames(RegKey root, const std::string& path) {
    Registry registry(this->registry, root);
    if (!registry.OpenKey(path, false)) return {};
    return registry.GetValueNames();
  }

  void SetIni(const std::string& section, const std::string& key, const std::string& value) {
    IniFiles(profiles).WriteString(kIni, section, key, value);
  }
  std::string Ini(const std::string& section, const std::string& key) {
    return IniFiles(profiles).ReadString(kIni, section, key);
  }
  std::vector<std::string> IniKeys(const std::string& section) {
    return IniFiles(profiles).ReadKeys(kIni, section);
  }

  struct ShortcutFields {
    std::string path, directory, arguments;
    bool operator==(const ShortcutFields& o) const {
      return path == o.path && directory == o.directory && arguments == o.arguments;
    }
  };
  void MakeShortcut(const std::string& file, const ShortcutFields& fields) {
    auto link = shellLinks.Create();
    ASSERT_TRUE(link);
    link->SetPath(fields.path);
    link->SetWorkingDirectory(fields.directory);
    link->SetArguments(fields.arguments);
    ASSERT_TRUE(link->Save(file));
  }
  ShortcutFields Shortcut(const std::string& file) {
    auto link = shellLinks.Create();
    ShortcutFields fields;
    if (!link->Load(file)) return {"<unloadable>", "", ""};
    link->GetPath(&fields.path);
    link->GetWorkingDirectory(&fields.directory);
    link->GetArguments(&fields.arguments);
    return fields;
  }

  void Add(std::uint32_t kind, std::uint8_t subType, const std::string& location,
           const std::string& oldText, const std::string& newText) {
    ASSERT_TRUE(changes.AddChange(kind, subType, location, oldText, newText));
  }
  std::vector<LineStatus> Statuses(const SaveResult& result) {
    std::vector<LineStatus> statuses;
    for (const LineOutcome& outcome : result.outcomes) statuses.push_back(outcome.status);
    return statuses;
  }

  MemoryRegistry registry;
  MemoryFileSystem files;
  MemoryProfiles profiles{files};
  MemoryFileFinder finder{files};
  MemoryShellLinkFactory shellLinks{files};
  MemorySystem system;
  Workstation workstation{registry, profiles, finder, shellLinks, system};

  RecordingView view;
  RunFlags flags;
  ChangeList changes{view, view, flags};
  int saveButtonDisabled = 0;
  ChangeReport* report = nullptr;
};

using S = LineStatus;

// --- Starting, or not -----------------------------------------------------------------

TEST_F(SaveTest, AnEmptyListDoesNothingAtAll) {
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
  EXPECT_FALSE(KeyExists(kHklm, "\\Software\\Varnok\\Consulting\\ZEB"));
}

TEST_F(SaveTest, CancelAtTheConfirmationWritesNothingAndKeepsSaveEnabled) {
  flags.promptUser = true;
  flags.startingDateGiven = true;
  view.answerOk = false;
  SetString(kHklm, "\\K", "V", "old");
  Add(kHklm, kChangeVariableContents, "\\K", "V", "new");

  const SaveResult result = Save();

  EXPECT_EQ(result.ending, SaveEnding::kCancelled);
  EXPECT_EQ(view.confirmations, std::vector<std::string>{kConfirmation});
  EXPECT_EQ(String(kHklm, "\\K", "V"), "old");
  EXPECT_EQ(saveButtonDisabled, 0);
  EXPECT_FALSE(flags.changesMade);
  EXPECT_FALSE(KeyExists(kHklm, "\\Software\\Varnok\\Consulting\\ZEB"));
}

TEST_F(SaveTest, ConfirmedOrUnpromptedSaveWritesAndEndsCleanly) {
  for (bool prompt : {true, false}) {
    SCOPED_TRACE(prompt);
    RecordingView view;
    RunFlags flags;
    flags.promptUser = prompt;
    ChangeList changes(view, view, flags);
    changes.AddChange(kHklm, kChangeVariableContents, "\\K", "V", prompt ? "ok" : "quiet");
    view.status[StatusLine::kMain1] = "Press the Save button to write changes.";
    int disabled = 0;
    SaveInputs inputs{workstation, changes, view, view, view, flags, [&] { ++disabled; }, nullptr};

    const SaveResult result = SaveChanges(inputs);

    EXPECT_EQ(result.ending, SaveEnding::kCompleted);
    EXPECT_EQ(view.confirmations.size(), prompt ? 1u : 0u);
    EXPECT_EQ(String(kHklm, "\\K", "V"), prompt ? "ok" : "quiet");
    EXPECT_EQ(disabled, 1);
    EXPECT_TRUE(flags.changesMade);
    EXPECT_EQ(view.cursor, Cursor::kDefault);
    for (StatusLine line : {StatusLine::kMain1, StatusLine::kMain2, StatusLine::kMain3,
                            StatusLine::kMain4})
      EXPECT_EQ(view.status[line], "");
  }
}

// --- Each kind of change --------------------------------------------------------------

TEST_F(SaveTest, RegistryContentsAreWrittenAsStringsOverNumbersAndMissingValues) {
  SetRaw(kHklm, "\\SOFTWARE\\Varnok", "Number", regtype::kDword, {7, 0, 0, 0});
  Add(kHklm, kChangeVariableContents, "\\SOFTWARE\\Varnok", "Number", "CN=New.O=Acme");
  Add(kHklm, kChangeVariableContents, "\\SOFTWARE\\Missing\\Key", "Ctx", "created");
  Add(kHku, kChangeVariableContents, "", "AtTheRoot", "root value");

  const SaveResult result = Save();

  EXPECT_EQ(result.ending, SaveEnding::kCompleted);
  EXPECT_EQ(String(kHklm, "\\SOFTWARE\\Varnok", "Number"), "CN=New.O=Acme");  // REG_SZ now
  EXPECT_EQ(String(kHklm, "\\SOFTWARE\\Missing\\Key", "Ctx"), "created");
  EXPECT_EQ(String(kHku, "", "AtTheRoot"), "root value");
  EXPECT_EQ(Statuses(result), (std::vector<S>{S::kWritten, S::kWritten, S::kWritten}));
}

TEST_F(SaveTest, RegistryValueRenamesKeepTypeAndData) {
  SetString(kHklm, "\\K", "Str", "text");
  SetRaw(kHklm, "\\K", "Dw", regtype::kDword, {1, 2, 3, 4});
  SetRaw(kHklm, "\\K", "Bin", regtype::kBinary, {9, 8, 7});
  SetString(kHklm, "\\K", "StrNew", "replaced by the rename");
  Add(kHklm, kChangeVariableName, "\\K", "Str", "StrNew");
  Add(kHklm, kChangeVariableName, "\\K", "Dw", "DwNew");
  Add(kHklm, kChangeVariableName, "\\K", "Bin", "BinNew");

  const SaveResult result = Save();

  EXPECT_EQ(Statuses(result), (std::vector<S>{S::kWritten, S::kWritten, S::kWritten}));
  EXPECT_EQ(String(kHklm, "\\K", "StrNew"), "text");
  const auto dword = Value(kHklm, "\\K", "DwNew");
  ASSERT_TRUE(dword);
  EXPECT_EQ(dword->type, regtype::kDword);
  EXPECT_EQ(dword->data, (std::vector<std::uint8_t>{1, 2, 3, 4}));
  const auto binary = Value(kHklm, "\\K", "BinNew");
  ASSERT_TRUE(binary);
  EXPECT_EQ(binary->type, regtype::kBinary);
  EXPECT_EQ(binary->data, (std::vector<std::uint8_t>{9, 8, 7}));
  EXPECT_FALSE(Value(kHklm, "\\K", "Str"));
  EXPECT_FALSE(Value(kHklm, "\\K", "Dw"));
  EXPECT_FALSE(Value(kHklm, "\\K", "Bin"));
}

TEST_F(SaveTest, ExpandableStringsStayExpandableWhenRenamedOrChanged) {
  const auto data = [](std::string text) {
    text.push_back('\0');
    return std::vector<std::uint8_t>(text.begin(), text.end());
  };
  SetRaw(kHklm, "\\Env", "Path", regtype::kExpandString, data("%SystemRoot%\\system32"));
  SetRaw(kHklm, "\\Env", "Temp", regtype::kExpandString, data("%TEMP%\\old"));
  SetString(kHklm, "\\Env", "TempDir", "a REG_SZ the rename replaces");
  SetRaw(kHklm, "\\Env", "Home", regtype::kExpandString, data("%HOMEPATH%"));
  Add(kHklm, kChangeVariableName, "\\Env", "Path", "SystemPath");
  Add(kHklm, kChangeVariableContents, "\\Env", "Temp", "%TEMP%\\new");
  Add(kHklm, kChangeVariableName, "\\Env", "Temp", "TempDir");
  Add(kHklm, kChangeVariableName, "\\Env", "Home", "Profile");
  Add(kHklm, kChangeVariableContents, "\\Env", "Home", "%USERPROFILE%");  // after its rename

  EXPECT_EQ(Save().ending, SaveEnding::kCompleted);

  const auto expectExpandable = [&](const std::string& name, const std::string& text) {
    const auto value = Value(kHklm, "\\Env", name);
    ASSERT_TRUE(value) << name;
    EXPECT_EQ(value->type, regtype::kExpandString) << name;
    EXPECT_EQ(value->data, data(text)) << name;
  };
  expectExpandable("SystemPath", "%SystemRoot%\\system32");
  expectExpandable("TempDir", "%TEMP%\\new");
  expectExpandable("Profile", "%USERPROFILE%");
  EXPECT_EQ(ValueNames(kHklm, "\\Env"),
            (std::vector<std::string>{"Profile", "SystemPath", "TempDir"}));
}

TEST_F(SaveTest, ValuesThatCannotBeCopiedAreNotRenamedAndNothingIsDeleted) {
  SetRaw(kHklm, "\\K", "Multi", regtype::kMultiString, {'a', 0, 'b', 0, 0});
  SetString(kHklm, "\\K", "MultiNew", "must survive");
  Add(kHklm, kChangeVariableName, "\\K", "Multi", "MultiNew");
  Add(kHklm, kChangeVariableName, "\\K", "Absent", "MultiNew");
  Add(kHklm, kChangeVariableName, "\\NoSuchKey", "X", "Y");
  Add(kHklm, kChangeVariableContents, "\\K", "After", "still written");

  const SaveResult result = Save();

  EXPECT_EQ(result.ending, SaveEnding::kCompleted);
  EXPECT_EQ(Value(kHklm, "\\K", "Multi")->type, regtype::kMultiString);
  EXPECT_EQ(String(kHklm, "\\K", "MultiNew"), "must survive");
  EXPECT_FALSE(KeyExists(kHklm, "\\NoSuchKey"));  // a rename creates no key
  EXPECT_EQ(String(kHklm, "\\K", "After"), "still written");
  EXPECT_EQ(Statuses(result), (std::vector<S>{S::kFailed, S::kFailed, S::kFailed, S::kWritten}));
  EXPECT_EQ(result.outcomes[0].error, "Value 'Multi' has a type that cannot be renamed");
  EXPECT_EQ(result.outcomes[1].error, "Value 'Absent' not found");
}

TEST_F(SaveTest, BinaryValuesOfAnySizeAreRenamedWhole) {
  std::vector<std::uint8_t> big(40000);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7);
  SetRaw(kHklm, "\\K", "Big", regtype::kBinary, big);
  Add(kHklm, kChangeVariableName, "\\K", "Big", "Bigger");

  const SaveResult result = Save();

  EXPECT_EQ(result.ending, SaveEnding::kCompleted);
  const auto renamed = Value(kHklm, "\\K", "Bigger");
  ASSERT_TRUE(renamed);
  EXPECT_EQ(renamed->data, big);
  EXPECT_FALSE(Value(kHklm, "\\K", "Big"));
}

TEST_F(SaveTest, ARenameThatOnlyChangesLetterCaseKeepsTheValue) {
  SetString(kHklm, "\\K", "context", "data");
  // \xE9 / \xC9: e-acute and E-acute, which the Registry also treats as one name.
  SetString(kHklm, "\\K", "caf\xE9", "accented");
  Add(kHklm, kChangeVariableName, "\\K", "context", "CONTEXT");
  Add(kHklm, kChangeVariableName, "\\K", "caf\xE9", "CAF\xC9");
  SetIni("Net", "context", "ini data");
  Add(changekind::kIniEntry, kChangeVariableName, kIni, "[Net]context", "Context");

  EXPECT_EQ(Save().ending, SaveEnding::kCompleted);

  EXPECT_EQ(String(kHklm, "\\K", "CONTEXT"), "data");
  EXPECT_EQ(String(kHklm, "\\K", "CAF\xC9"), "accented");
  const auto names = ValueNames(kHklm, "\\K");
  EXPECT_NE(std::find(names.begin(), names.end(), "CONTEXT"), names.end());
  EXPECT_EQ(Ini("Net", "Context"), "ini data");
  EXPECT_EQ(IniKeys("Net"), std::vector<std::string>{"Context"});
}

TEST_F(SaveTest, IniContentsAndRenames) {
  SetIni("Net", "Ctx", "old");
  SetIni("Net", "Server", std::string(1500, 's'));
  SetIni("Net", "Existing", "overwritten");
  Add(changekind::kIniEntry, kChangeVariableContents, kIni, "[Net]Ctx", "NEW.O");
  Add(changekind::kIniEntry, kChangeVariableContents, kIni, "[Fresh]Var", "made");
  Add(changekind::kIniEntry, kChangeVariableName, kIni, "[Net]Server", "Existing");
  Add(changekind::kIniEntry, kChangeVariableName, kIni, "[Net]Missing", "Empty");
  Add(changekind::kIniEntry, kChangeVariableContents, kIni, "[Net", "no section end");

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

TEST_F(SaveTest, EachShortcutFieldIsWritten) {
  MakeShortcut("C:\\Desk\\App.lnk", {"\\\\T\\OLD\\app.exe", "\\\\T\\OLD", "/s OLD"});
  Add(changekind::kShortcutFile, kChangeShortcutPath, "C:\\Desk\\App.lnk", "\\\\T\\OLD\\app.exe",
      "\\\\T\\NEW\\app.exe");
  Add(changekind::kShortcutFile, kChangeShortcutDirectory, "C:\\Desk\\App.lnk", "\\\\T\\OLD",
      "\\\\T\\NEW");
  Add(changekind::kShortcutFile, kChangeShortcutArguments, "C:\\Desk\\App.lnk", "/s OLD",
      "/s NEW");

  const SaveResult result = Save();

  EXPECT_EQ(Statuses(result), (std::vector<S>{S::kWritten, S::kWritten, S::kWritten}));
  EXPECT_EQ(Shortcut("C:\\Desk\\App.lnk"),
            (ShortcutFields{"\\\\T\\NEW\\app.exe", "\\\\T\\NEW", "/s NEW"}));
}

TEST_F(SaveTest, AShortcutThatCannotBeLoadedGetsNothingAndSaveGoesOn) {
  MakeShortcut("C:\\Desk\\First.lnk", {"\\\\T\\OLD\\first.exe", "", ""});
  MakeShortcut("C:\\Desk\\Third.lnk", {"\\\\T\\OLD\\third.exe", "", ""});
  Add(changekind::kShortcutFile, kChangeShortcutPath, "C:\\Desk\\First.lnk", "x", "\\\\T\\A.exe");
  Add(changekind::kShortcutFile, kChangeShortcutPath, "C:\\Desk\\Gone.lnk", "x", "\\\\T\\B.exe");
  Add(changekind::kShortcutFile, kChangeShortcutPath, "C:\\Desk\\Third.lnk", "x", "\\\\T\\C.exe");

  const SaveResult result = Save();

  EXPECT_EQ(result.ending, SaveEnding::kCompleted);
  EXPECT_EQ(Statuses(result), (std::vector<S>{S::kWritten, S::kFailed, S::kWritten}));
  EXPECT_EQ(result.outcomes[1].error, "Unable to load shortcut C:\\Desk\\Gone.lnk");
  // The object still held First.lnk: nothing of it may turn up as Gone.lnk.
  EXPECT_EQ(Shortcut("C:\\Desk\\Gone.lnk").path, "<unloadable>");
  EXPECT_EQ(Shortcut("C:\\Desk\\First.lnk").path, "\\\\T\\A.exe");
  EXPECT_EQ(Shortcut("C:\\Desk\\Third.lnk").path, "\\\\T\\C.exe");
  EXPECT_TRUE(flags.changesMade);
}

// --- The walk ---------------------------------------------------------------------------

TEST_F(SaveTest, UntickedLinesAreSkippedWhileTheWalkAdvances) {
  for (int i = 0; i < 5; ++i) SetString(kHklm, "\\K", "V" + std::to_string(i), "old");
  for (int i = 0; i < 5; ++i)
    Add(kHklm, kChangeVariableContents, "\\K", "V" + std::to_string(i), "new" + std::to_string(i));
  view.lines[0].ticked = false;
  view.lines[2].ticked = false;
  view.lines[4].ticked = false;

  const SaveResult result = Save();

  EXPECT_EQ(String(kHklm, "\\K", "V0"), "old");
  EXPECT_EQ(String(kHklm, "\\K", "V1"), "new1");
  EXPECT_EQ(String(kHklm, "\\K", "V2"), "old");
  EXPECT_EQ(String(kHklm, "\\K", "V3"), "new3");
  EXPECT_EQ(String(kHklm, "\\K", "V4"), "old");
  EXPECT_EQ(Statuses(result),
            (std::vector<S>{S::kUnticked, S::kWritten, S::kUnticked, S::kWritten, S::kUnticked}));
  EXPECT_EQ(system.sleptMs, 2u * 2u * 100u);  // two ticked lines, one pause per pass each
}

TEST_F(SaveTest, KeyRenamesComeLastAndCarryEarlierChangesAlong) {
  SetString(kHklm, "\\SOFTWARE\\CN=Old\\Sub", "Ctx", "old");
  SetString(kHklm, "\\SOFTWARE\\CN=Old", "Keep", "kept");
  // The rename is listed first, but the value change inside the key must happen before it.
  Add(kHklm, kRenameHive, "\\SOFTWARE\\CN=Old", "\\SOFTWARE\\CN=New", "");
  Add(kHklm, kChangeVariableContents, "\\SOFTWARE\\CN=Old\\Sub", "Ctx", "new");

  const SaveResult result = Save();

  EXPECT_EQ(Statuses(result), (std::vector<S>{S::kWritten, S::kWritten}));
  EXPECT_FALSE(KeyExists(kHklm, "\\SOFTWARE\\CN=Old"));
  EXPECT_EQ(String(kHklm, "\\SOFTWARE\\CN=New\\Sub", "Ctx"), "new");
  EXPECT_EQ(String(kHklm, "\\SOFTWARE\\CN=New", "Keep"), "kept");
  // Progress in order: the value change (pass 1), then the rename (pass 2).
  std::vector<std::string> operations;
  for (const auto& [line, text] : view.statusHistory)
    if (line == StatusLine::kMain3 && !text.empty()) operations.push_back(text);
  EXPECT_EQ(operations, (std::vector<std::string>{"Change variable contents", "Rename Registy Hive"}));
}

TEST_F(SaveTest, AKeyRenameReplacesAnExistingTargetOnBothPlatforms) {
  for (int platform : {platformid::kWindows9x, platformid::kWindowsNt}) {
    SCOPED_TRACE(platform);
    system.platformId = platform;
    const std::string root = "\\P" + std::to_string(platform);
    SetString(kHklm, root + "\\Old\\Child", "V", "moved");
    SetString(kHklm, root + "\\New\\Stale", "V", "replaced");
    RecordingView view;
    ChangeList changes(view, view, flags);
    changes.AddChange(kHklm, kRenameHive, root + "\\Old", root + "\\New", "");
    SaveInputs inputs{workstation, changes, view, view, view, flags, nullptr, nullptr};

    EXPECT_EQ(SaveChanges(inputs).ending, SaveEnding::kCompleted);

    EXPECT_FALSE(KeyExists(kHklm, root + "\\Old"));
    EXPECT_FALSE(KeyExists(kHklm, root + "\\New\\Stale"));
    EXPECT_EQ(String(kHklm, root + "\\New\\Child", "V"), "moved");
  }
}

TEST_F(SaveTest, AKeyAlreadyCarriedAlongByItsParentsRenameLeavesTheTargetAlone) {
  SetString(kHklm, "\\S\\CN=Old\\CN=Old", "V", "inner");
  SetString(kHklm, "\\S\\CN=Old", "V", "outer");
  system.platformId = platformid::kWindowsNt;
  Add(kHklm, kRenameHive, "\\S\\CN=Old", "\\S\\CN=New", "");
  Add(kHklm, kRenameHive, "\\S\\CN=Old\\CN=Old", "\\S\\CN=New\\CN=Old", "");
  Add(kHklm, kRenameHive, "\\S\\Nowhere", "\\S\\CN=New", "");

  const SaveResult result = Save();

  EXPECT_EQ(String(kHklm, "\\S\\CN=New", "V"), "outer");
  EXPECT_EQ(String(kHklm, "\\S\\CN=New\\CN=Old", "V"), "inner");  // not deleted
  EXPECT_EQ(Statuses(result), (std::vector<S>{S::kWritten, S::kWritten, S::kFailed}));
  EXPECT_EQ(result.outcomes[2].error, "Key '\\S\\Nowhere' not found");
}

TEST_F(SaveTest, AKeyIsNeverRenamedOntoItselfOrItsOwnBranch) {
  SetString(kHklm, "\\S\\A\\B", "V", "data");
  Add(kHklm, kRenameHive, "\\S\\A", "\\S\\a", "");
  Add(kHklm, kRenameHive, "\\S\\A", "\\S\\A\\B\\C", "");
  Add(kHklm, kRenameHive, "\\S\\A\\B", "\\S\\A", "");

  const SaveResult result = Save();

  EXPECT_EQ(Statuses(result), (std::vector<S>{S::kFailed, S::kFailed, S::kFailed}));
  EXPECT_EQ(String(kHklm, "\\S\\A\\B", "V"), "data");
  EXPECT_FALSE(KeyExists(kHklm, "\\S\\A\\B\\C"));
}

TEST_F(SaveTest, KeyPathsWithoutLeadingBackslashCountFromTheRoot) {
  SetString(kHklm, "\\Printers\\CN=Old", "Port", "x");
  SetString(kHklm, "\\Elsewhere", "Keep", "y");
  Add(kHklm, kChangeVariableContents, "Elsewhere", "Ctx", "plain");
  Add(kHklm, kRenameHive, "\\Printers\\CN=Old", "Printers\\CN=New", "");

  const SaveResult result = Save();

  EXPECT_EQ(Statuses(result), (std::vector<S>{S::kWritten, S::kWritten}));
  EXPECT_EQ(String(kHklm, "\\Elsewhere", "Ctx"), "plain");
  EXPECT_EQ(String(kHklm, "\\Printers\\CN=New", "Port"), "x");
  EXPECT_FALSE(KeyExists(kHklm, "\\Printers\\CN=Old"));
}

TEST_F(SaveTest, NameAndContentsOfOneValueBothTickedGiveOneValue) {
  // Both orders, for a Registry value and for an INI variable.
  SetString(kHklm, "\\K", "A", "old a");
  SetString(kHklm, "\\K", "B", "old b");
  Add(kHklm, kChangeVariableName, "\\K", "A", "A2");
  Add(kHklm, kChangeVariableContents, "K", "a", "new a");
  Add(kHklm, kChangeVariableContents, "\\K", "B", "new b");
  Add(kHklm, kChangeVariableName, "\\K", "B", "B2");
  SetIni("S", "X", "old x");
  SetIni("S", "Y", "old y");
  Add(changekind::kIniEntry, kChangeVariableName, kIni, "[S]X", "X2");
  Add(changekind::kIniEntry, kChangeVariableContents, kIni, "[s]x", "new x");
  Add(changekind::kIniEntry, kChangeVariableContents, kIni, "[S]Y", "new y");
  Add(changekind::kIniEntry, kChangeVariableName, kIni, "[S]Y", "Y2");

  EXPECT_EQ(Save().ending, SaveEnding::kCompleted);

  EXPECT_EQ(ValueNames(kHklm, "\\K"), (std::vector<std::string>{"A2", "B2"}));
  EXPECT_EQ(String(kHklm, "\\K", "A2"), "new a");
  EXPECT_EQ(String(kHklm, "\\K", "B2"), "new b");
  EXPECT_EQ(IniKeys("S"), (std::vector<std::string>{"X2", "Y2"}));
  EXPECT_EQ(Ini("S", "X2"), "new x");
  EXPECT_EQ(Ini("S", "Y2"), "new y");
}

// --- Platform, progress and "Last Run" ------------------------------------------------

TEST_F(SaveTest, TheSpoolerIsStoppedAndStartedOnWindowsNtOnly) {
  SetIni("S", "X", "old");
  Add(changekind::kIniEntry, kChangeVariableContents, kIni, "[S]X", "new");

  system.platformId = platformid::kWindows9x;
  Save();
  EXPECT_TRUE(system.commands.empty());

  system.platformId = platformid::kWindowsNt;
  Save();  // no key rename listed: the spooler is still stopped and started
  EXPECT_EQ(system.commands, (std::vector<std::string>{"NET STOP SPOOLER", "NET START SPOOLER"}));
  std::vector<std::string> main3;
  for (const auto& [line, text] : view.statusHistory)
    if (line == StatusLine::kMain3) main3.push_back(text);
  EXPECT_EQ(main3, (std::vector<std::string>{"Change variable contents", "",
                                             "Stopping Spooler Service", "Change variable contents",
                                             "Starting Spooler Service", ""}));
}

TEST_F(SaveTest, NormalProgressFillsTheMainLabelsAndPauses) {
  Add(changekind::kIniEntry, kChangeVariableContents, kIni, "[S]X", "new");
  Add(kHklm, kRenameHive, "\\Old", "\\New", "");
  SetString(kHklm, "\\Old", "V", "v");

  Save();

  using L = StatusLine;
  const std::vector<std::pair<L, std::string>> expected = {
      // first pass: the INI change is written, the rename only shown
      {L::kMain3, "Change variable contents"},
      {L::kMain2, kIni}, {L::kMain4, "[S]X"}, {L::kMain1, "new"},
      {L::kMain2, "\\Old"}, {L::kMain4, "\\New"}, {L::kMain1, ""},
      // second pass: the rename is written
      {L::kMain2, kIni}, {L::kMain4, "[S]X"}, {L::kMain1, "new"},
      {L::kMain3, "Rename Registy Hive"},
      {L::kMain2, "\\Old"}, {L::kMain4, "\\New"}, {L::kMain1, ""},
      // the end
      {L::kMain1, ""}, {L::kMain2, ""}, {L::kMain3, ""}, {L::kMain4, ""}};
  EXPECT_EQ(view.statusHistory, expected);
  EXPECT_EQ(system.sleptMs, 400u);
}

TEST_F(SaveTest, StealthProgressUsesTheSplashLinesWithoutPauses) {
  flags.stealthMode = true;
  system.platformId = platformid::kWindowsNt;
  Add(changekind::kShortcutFile, kChangeShortcutArguments, "C:\\a.lnk", "/a", "/b");
  Add(kHklm, kRenameHive, "\\Old", "\\New", "");
  view.statusHistory.clear();  // AddChange's "Updates: n"
  MakeShortcut("C:\\a.lnk", {"x", "", "/a"});
  SetString(kHklm, "\\Old", "V", "v");

  Save();

  using L = StatusLine;
  const std::vector<std::pair<L, std::string>> expected = {
      {L::kSplash3, "Stopping "},
      {L::kSplash3, "Changing "},
      {L::kSplash3, "Changing C:\\a.lnk"}, {L::kSplash4, "/a"},
      {L::kSplash3, "Changing C:\\a.lnk\\Old"}, {L::kSplash4, "\\New"},
      {L::kSplash3, "Changing C:\\a.lnk\\OldC:\\a.lnk"}, {L::kSplash4, "/a"},
      {L::kSplash3, "Renaming "},
      {L::kSplash3, "Renaming \\Old"}, {L::kSplash4, "\\New"},
      {L::kSplash3, "Starting "},
      {L::kMain1, ""}, {L::kMain2, ""}, {L::kMain3, ""}, {L::kMain4, ""}};
  EXPECT_EQ(view.statusHistory, expected);
  EXPECT_EQ(system.sleptMs, 0u);
}

TEST_F(SaveTest, LastRunIsRecordedOnlyUnderStarting) {
  SetString(kHklm, "\\K", "V", "old");
  Add(kHklm, kChangeVariableContents, "\\K", "V", "new");
  system.today = {2027, 3, 4};
  system.shortDateFormat = "dd.MM.yyyy";

  Save();
  EXPECT_FALSE(KeyExists(kHklm, "\\Software\\Varnok\\Consulting\\ZEB"));

  flags.startingDateGiven = true;
  Save();
  EXPECT_EQ(String(kHklm, "\\Software\\Varnok\\Consulting\\ZEB", "Last Run"), "04.03.2027");
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

TEST_F(SaveTest, KeyTreeOperations) {
  EXPECT_EQ(KeyPathFromRoot("A\\B"), "\\A\\B");
  EXPECT_EQ(KeyPathFromRoot("\\A"), "\\A");
  EXPECT_EQ(KeyPathFromRoot(""), "\\");
  EXPECT_TRUE(IsKeyBelow("\\a\\b", "\\A"));
  EXPECT_FALSE(IsKeyBelow("\\AB", "\\A"));
  EXPECT_FALSE(IsKeyBelow("\\A", "\\A"));

  SetString(kHklm, "\\T\\From\\X\\Y", "V", "deep");
  SetString(kHklm, "\\T\\From", "Top", "top");
  SetString(kHklm, "\\T\\To\\Z", "V", "in the way");
  // The target is in the way: each subkey moves into it on its own.
  MoveKeyTree(registry, kHklm, "\\T\\From", "\\T\\To");
  EXPECT_EQ(String(kHklm, "\\T\\To\\X\\Y", "V"), "deep");
  EXPECT_EQ(String(kHklm, "\\T\\To\\Z", "V"), "in the way");
  EXPECT_EQ(String(kHklm, "\\T\\From", "Top"), "top");  // values stay with the source
  EXPECT_FALSE(KeyExists(kHklm, "\\T\\From\\X"));

  DeleteKeyTree(registry, kHklm, "\\T");
  EXPECT_FALSE(KeyExists(kHklm, "\\T"));
  DeleteKeyTree(registry, kHklm, "\\T");  // a missing key is left alone
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace zeb
