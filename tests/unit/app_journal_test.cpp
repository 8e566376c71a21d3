// "/JOURNAL=" and "/ROLLBACK=" through the program: the exit code of a journal that cannot be
// written, and a rollback run that lists the journal's restorations and restores the ticked
// ones.
#include <gtest/gtest.h>

#include <stdexcept>

#include "app/workstation_saver.h"
#include "changes/journal_key.h"
#include "platform/memory/memory_append_file.h"
#include "platform/registry.h"
#include "support/app_harness.h"

namespace zeb {
namespace {

using testing::AppHarness;

constexpr char kJournal[] = "C:\\ZEB\\run.jnl";

class AppJournalTest : public ::testing::Test {
 protected:
  AppJournalTest() {
    h.fileSystem.MakeFolder("C:\\ZEB");
    h.saverInUse = &saver;
  }

  void SetString(const std::string& path, const std::string& name, const std::string& text) {
    Registry registry(h.registry, hkey::kUsers);
    ASSERT_TRUE(registry.OpenKey(path, true));
    registry.WriteString(name, text);
  }
  std::string String(const std::string& path, const std::string& name) {
    Registry registry(h.registry, hkey::kUsers);
    if (!registry.OpenKey(path, false)) return "<missing key>";
    return registry.ValueExists(name) ? registry.ReadString(name) : "<missing>";
  }

  // A journal of two value changes, signed with this computer's key, as Save writes one.
  void WriteJournal() {
    const JournalKeyResult key = JournalKeyForWriting(h.registry, h.system);
    ASSERT_EQ(key.status, JournalKeyStatus::kFound);
    JournalFormatter out(key.key);
    std::string text = out.Header({h.system.computerName, "2026-12-08 07:58:12", "zeb.exe"});
    int id = 0;
    for (const char* name : {"A", "B"}) {
      JournalItem item;
      item.id = ++id;
      item.root = hkey::kUsers;
      item.path = "\\S-1\\Soft";
      item.name = name;
      item.value = {true, regtype::kString, {'o', 'l', 'd', 0}};
      text += out.Item(item);
      text += out.After(item.id,
                        ImageDigest(RegistryValueImage{true, regtype::kString, {'n', 'e', 'w', 0}}));
    }
    h.fileSystem.WriteFile(kJournal, text);
  }

  AppHarness h;
  WorkstationSaver saver{h.workstation, h.main, h.view, h.view, h.view};
  MemoryAppendFiles journalFiles;
};

TEST_F(AppJournalTest, AJournalThatCannotBeWrittenEndsSaveWithItsExitCode) {
  journalFiles.uncreatable.insert(kJournal);
  saver.JournalTo(kJournal, journalFiles);
  AppState& state = h.program().State();
  state.flags.promptUser = false;
  SetString("\\S-1\\Soft", "A", "old");
  ASSERT_TRUE(state.Changes().AddChange(hkey::kUsers, kChangeVariableContents, "\\S-1\\Soft", "A",
                                        "new"));
  try {
    saver.SaveChanges(state);
    ADD_FAILURE() << "Save went on without its journal";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Unable to write the journal C:\\ZEB\\run.jnl");
  }
  EXPECT_EQ(state.exitCode.Value(), static_cast<int>(ExitCode::kJournalFailed));
  EXPECT_EQ(String("\\S-1\\Soft", "A"), "old");
}

TEST_F(AppJournalTest, ARollbackRunListsTheRestorationsAndSaveRestoresTheTickedOnes) {
  SetString("\\S-1\\Soft", "A", "new");
  SetString("\\S-1\\Soft", "B", "new");
  WriteJournal();
  h.rollbackJournal = kJournal;
  h.StartUp();
  h.program().State().flags.promptUser = false;
  h.program().OnSearchClick();

  // Newest first.
  ASSERT_EQ(h.view.lines.size(), 2u);
  EXPECT_EQ(h.view.lines[0].text, "REGISTRY: HKEY_USERS\\S-1\\Soft");
  EXPECT_EQ(h.program().Changes()[0].oldText, "B");
  h.view.lines[0].ticked = false;
  h.program().OnSaveClick();

  EXPECT_EQ(String("\\S-1\\Soft", "B"), "new");
  EXPECT_EQ(String("\\S-1\\Soft", "A"), "old");
}

TEST_F(AppJournalTest, ARollbackOfAJournalThatDoesNotVerifyListsNothing) {
  WriteJournal();
  std::string text = *h.fileSystem.ReadFile(kJournal);
  text.replace(text.find("\"A\""), 3, "\"C\"");
  h.fileSystem.WriteFile(kJournal, text);
  h.rollbackJournal = kJournal;
  h.StartUp();
  h.program().OnSearchClick();

  EXPECT_TRUE(h.view.lines.empty());
  EXPECT_TRUE(h.Logged("error: The journal cannot be used: C:\\ZEB\\run.jnl, line 5: the record "
                       "does not verify: the journal was altered, records were inserted or "
                       "removed, or it was written on another computer"));
  EXPECT_EQ(h.program().State().exitCode.Value(), static_cast<int>(ExitCode::kJournalFailed));
}

}  // namespace
}  // namespace zeb
