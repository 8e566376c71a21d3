#include <gtest/gtest.h>

#include "changes/change_list.h"
#include "support/recording_view.h"

namespace zeb {
namespace {

using testing::RecordingView;

class ChangeListTest : public ::testing::Test {
 protected:
  ChangeListTest() { flags.shortcutsTicked = true; }

  RecordingView view;
  RunFlags flags;
  ChangeList changes{view, view, flags};
};

TEST(RootKeyNameTest, NamesThePredefinedRootKeys) {
  EXPECT_EQ(RootKeyName(0x80000000u), "HKEY_CLASSES_ROOT");
  EXPECT_EQ(RootKeyName(0x80000001u), "HKEY_CURRENT_USER");
  EXPECT_EQ(RootKeyName(0x80000002u), "HKEY_LOCAL_MACHINE");
  EXPECT_EQ(RootKeyName(0x80000003u), "HKEY_USERS");
  EXPECT_EQ(RootKeyName(0x80000005u), "HKEY_CURRENT_CONFIG");
  EXPECT_EQ(RootKeyName(0x80000006u), "HKEY_DYN_DATA");
  // HKEY_PERFORMANCE_DATA has no conventional entry: it gets a plain description.
  EXPECT_EQ(RootKeyName(0x80000004u), "(unknown root key 0x80000004)");
  EXPECT_EQ(RootKeyName(7), "(unknown root key 0x00000007)");
}

TEST_F(ChangeListTest, EachKindGetsItsLineTextAndTick) {
  EXPECT_TRUE(changes.AddChange(changekind::kIniEntry, kChangeVariableContents,
                                "C:\\WINDOWS\\WIN.INI", "[Net]Ctx", "New"));
  EXPECT_TRUE(changes.AddChange(changekind::kShortcutFile, kChangeShortcutPath,
                                "C:\\Desk\\App.lnk", "\\\\T\\OLD", "\\\\T\\NEW"));
  EXPECT_TRUE(changes.AddChange(0x80000002u, kChangeVariableContents, "\\SOFTWARE\\Varnok", "Ctx",
                                "NEW.O"));
  EXPECT_TRUE(changes.AddChange(0x80000003u, kRenameHive, "", "\\Other", ""));
  EXPECT_TRUE(changes.AddChange(0x80000004u, kRenameHive, "\\X", "\\Y", ""));

  ASSERT_EQ(view.lines.size(), 5u);
  EXPECT_EQ(view.lines[0].text, "INI File: C:\\WINDOWS\\WIN.INI");
  EXPECT_EQ(view.lines[1].text, "SHORTCUT: C:\\Desk\\App.lnk");
  EXPECT_EQ(view.lines[2].text, "REGISTRY: HKEY_LOCAL_MACHINE\\SOFTWARE\\Varnok");
  EXPECT_EQ(view.lines[3].text, "REGISTRY: HKEY_USERS");  // a value right under the root
  EXPECT_EQ(view.lines[4].text, "REGISTRY: (unknown root key 0x80000004)\\X");
  for (const auto& line : view.lines) EXPECT_TRUE(line.ticked) << line.text;

  ASSERT_EQ(changes.size(), 5u);
  EXPECT_EQ(changes[2].kind, 0x80000002u);
  EXPECT_EQ(changes[2].subType, kChangeVariableContents);
  EXPECT_EQ(changes[2].location, "\\SOFTWARE\\Varnok");
  EXPECT_EQ(changes[2].oldText, "Ctx");
  EXPECT_EQ(changes[2].newText, "NEW.O");
}

TEST_F(ChangeListTest, ShortcutLinesStartUntickedWhenTheClientIsTooOld) {
  flags.shortcutsTicked = false;
  changes.AddChange(changekind::kShortcutFile, kChangeShortcutDirectory, "C:\\a.lnk", "X", "Y");
  changes.AddChange(changekind::kIniEntry, kChangeVariableName, "C:\\a.ini", "[S]X", "Y");
  changes.AddChange(0x80000002u, kChangeVariableName, "\\K", "X", "Y");
  ASSERT_EQ(view.lines.size(), 3u);
  EXPECT_FALSE(view.lines[0].ticked);
  EXPECT_TRUE(view.lines[1].ticked);
  EXPECT_TRUE(view.lines[2].ticked);
}

TEST_F(ChangeListTest, DuplicatesFoldAsciiCaseOnly) {
  ASSERT_TRUE(changes.AddChange(0x80000002u, kChangeVariableContents, "\\Soft\\Key", "Name",
                                "cn=Admin.O=Acme"));
  // ASCII case differences in any of the three texts: a duplicate.
  EXPECT_FALSE(changes.AddChange(0x80000002u, kChangeVariableContents, "\\SOFT\\KEY", "NAME",
                                 "CN=ADMIN.o=acme"));
  // Another kind or subtype is another change.
  EXPECT_TRUE(changes.AddChange(0x80000003u, kChangeVariableContents, "\\Soft\\Key", "Name",
                                "cn=Admin.O=Acme"));
  EXPECT_TRUE(changes.AddChange(0x80000002u, kChangeVariableName, "\\Soft\\Key", "Name",
                                "cn=Admin.O=Acme"));
  // A length difference is never folded away.
  EXPECT_TRUE(changes.AddChange(0x80000002u, kChangeVariableContents, "\\Soft\\Key", "Name",
                                "cn=Admin.O=Acme "));
  // Field boundaries count: moving a character from one text to the next is not the same.
  EXPECT_TRUE(changes.AddChange(0x80000002u, kChangeVariableContents, "\\Soft\\Ke", "yName",
                                "cn=Admin.O=Acme"));

  // Accented letters (Windows-1252 e-acute 0xE9 and E-acute 0xC9) are compared exactly.
  ASSERT_TRUE(changes.AddChange(changekind::kIniEntry, kChangeVariableContents, "C:\\x.ini",
                                "[S]caf\xE9", "v"));
  EXPECT_TRUE(changes.AddChange(changekind::kIniEntry, kChangeVariableContents, "C:\\x.ini",
                                "[S]caf\xC9", "v"));
  EXPECT_FALSE(changes.AddChange(changekind::kIniEntry, kChangeVariableContents, "C:\\X.INI",
                                 "[s]CAF\xE9", "V"));

  EXPECT_EQ(changes.size(), 7u);
  EXPECT_EQ(view.lines.size(), changes.size());
}

TEST_F(ChangeListTest, RenameHiveWithTheSameNewPathIsADuplicate) {
  EXPECT_TRUE(changes.AddChange(0x80000002u, kRenameHive, "\\A\\CN=Old", "\\A\\CN=New", ""));
  EXPECT_FALSE(changes.AddChange(0x80000002u, kRenameHive, "\\a\\cn=old", "\\A\\CN=NEW", ""));
  EXPECT_TRUE(changes.AddChange(0x80000002u, kRenameHive, "\\A\\CN=Old", "\\A\\CN=Other", ""));
  EXPECT_EQ(changes.size(), 2u);
}

TEST_F(ChangeListTest, LineAndRecordStayInStepAcrossRefusedDuplicates) {
  for (int round = 0; round < 3; ++round)
    for (int i = 0; i < 20; ++i)
      changes.AddChange(changekind::kIniEntry, kChangeVariableContents, "C:\\f.ini",
                        "[S]v" + std::to_string(i), round == 1 ? "NEW" : "new");
  ASSERT_EQ(changes.size(), 20u);
  ASSERT_EQ(view.lines.size(), 20u);
  for (std::size_t i = 0; i < changes.size(); ++i) {
    EXPECT_EQ(changes[i].oldText, "[S]v" + std::to_string(i));
    EXPECT_EQ(changes[i].newText, "new");  // the first one found is kept
  }
}

TEST_F(ChangeListTest, CursorTurnsAppStartingOnlyWhileTheListIsEnabled) {
  view.listEnabled = false;
  changes.AddChange(changekind::kIniEntry, kChangeVariableContents, "C:\\f.ini", "[S]v", "x");
  EXPECT_EQ(view.cursor, Cursor::kDefault);

  view.listEnabled = true;
  view.cursor = Cursor::kHourglass;
  // Even a refused duplicate sets the cursor: that comes before the check.
  changes.AddChange(changekind::kIniEntry, kChangeVariableContents, "C:\\f.ini", "[S]v", "x");
  EXPECT_EQ(view.cursor, Cursor::kAppStarting);
}

TEST_F(ChangeListTest, StealthModeCountsLinesOnTheSplash) {
  changes.AddChange(changekind::kIniEntry, kChangeVariableContents, "C:\\f.ini", "[S]a", "x");
  EXPECT_TRUE(view.statusHistory.empty());  // not in stealth mode

  flags.stealthMode = true;
  changes.AddChange(changekind::kIniEntry, kChangeVariableContents, "C:\\f.ini", "[S]b", "x");
  EXPECT_EQ(view.status[StatusLine::kSplash4], "Updates: 2");
  changes.AddChange(changekind::kIniEntry, kChangeVariableContents, "C:\\f.ini", "[S]c", "x");
  EXPECT_EQ(view.status[StatusLine::kSplash4], "Updates: 3");
  changes.AddChange(changekind::kIniEntry, kChangeVariableContents, "C:\\f.ini", "[s]C", "X");
  EXPECT_EQ(view.status[StatusLine::kSplash4], "Updates: 3");
  EXPECT_EQ(view.statusHistory.size(), 2u);  // the duplicate left the counter alone
}

TEST_F(ChangeListTest, ManyNearIdenticalChangesAllGetIn) {
  // Thousands of near-identical texts that differ only at the end still all get in.
  const int n = 20000;
  for (int i = 0; i < n; ++i)
    changes.AddChange(0x80000002u, kChangeVariableContents, "\\SOFTWARE\\Key", "Value",
                      "CN=User" + std::to_string(i));
  for (int i = 0; i < n; i += 97)
    EXPECT_FALSE(changes.AddChange(0x80000002u, kChangeVariableContents, "\\software\\key",
                                   "value", "cn=user" + std::to_string(i)));
  EXPECT_EQ(changes.size(), static_cast<std::size_t>(n));
  EXPECT_EQ(view.lines.size(), static_cast<std::size_t>(n));
}

}  // namespace
}  // namespace zeb
