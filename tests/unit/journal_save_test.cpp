// Save with "/JOURNAL=" and the rollback of its journal over the memory backend: what the
// journal holds, what happens when it cannot be written, the checks of a rollback, and the
// crash property: Save stopped at any platform write rolls back to the original workstation.
#include <gtest/gtest.h>

#include "changes/journal_key.h"
#include "changes/rollback.h"
#include "changes/save.h"
#include "changes/undo_image.h"
#include "platform/memory/memory_append_file.h"
#include "platform/registry.h"
#include "platform/memory/write_budget.h"
#include "support/memory_workstation.h"
#include "support/recording_file_writer.h"
#include "support/save_setup.h"

namespace zeb {
namespace {

constexpr RegKey kHklm = hkey::kLocalMachine;
constexpr RegKey kHku = hkey::kUsers;
constexpr char kIni[] = "C:\\WINDOWS\\NET.INI";
constexpr char kLink[] = "C:\\WINDOWS\\Desktop\\App.lnk";
constexpr char kJournal[] = "C:\\ZEB\\run.jnl";
constexpr char kMadeKey[] = "\\Soft\\Made\\Deeper";  // missing when Save starts

// With the file the journal is appended to.
struct JournaledWorkstation : testing::MemoryWorkstation {
  MemoryAppendFiles journal;
};

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// Everything a rollback could have to put back: both hives, the INI file and the shortcut.
struct Snapshot {
  RegistryKeyImage hklm, hku;
  FileImage ini, link;
  bool operator==(const Snapshot& o) const {
    return hklm == o.hklm && hku == o.hku && ini == o.ini && link == o.link;
  }
  bool operator!=(const Snapshot& o) const { return !(*this == o); }
};

class JournalSaveTest : public ::testing::Test,
                        protected JournaledWorkstation,
                        protected testing::SaveSetup {
 protected:
  JournalSaveTest() : SaveSetup(registry, profiles, finder, shellLinks, facts, fileBytes) {
    system.platformId = platformid::kWindowsNt;
    files.MakeFolder("C:\\WINDOWS\\Desktop");
    files.MakeFolder("C:\\ZEB");
    iniFile = kIni;
    journalPath = kJournal;
    journalFiles = &journal;
  }

  Snapshot Take() {
    Snapshot s;
    s.hklm = *CaptureKey(registry, kHklm, "");
    s.hku = *CaptureKey(registry, kHku, "");
    s.ini = *CaptureFile(fileBytes, kIni);
    s.link = *CaptureFile(fileBytes, kLink);
    return s;
  }

  // The journal as a killed process leaves it: only what was flushed.
  void PutJournalOnDisk(bool flushedOnly = true) {
    const auto& contents = journal.files[kJournal];
    files.WriteFile(kJournal, flushedOnly ? contents.flushed : contents.appended);
  }

  // Every restoration, as an unattended rollback makes them; the statuses in order.
  std::vector<RestoreStatus> RollBack() {
    const LoadedJournal loaded = LoadJournal(workstation, kJournal);
    EXPECT_TRUE(loaded.ok) << loaded.error;
    std::vector<RestoreStatus> statuses;
    for (const JournalItem& item : loaded.restorations)
      statuses.push_back(RestoreItem(workstation, item));
    return statuses;
  }

  // A workstation with every kind of change Save makes, on a computer that has journaled
  // before (the first journal makes the key, which a rollback leaves).
  void SeedEveryKind() {
    ASSERT_EQ(JournalKeyForWriting(registry, facts).status, JournalKeyStatus::kFound);
    SetRaw(kHklm, "\\Soft\\Values", "Sz", regtype::kString, Bytes(std::string("Bob\0", 4)));
    SetRaw(kHklm, "\\Soft\\Values", "Expand", regtype::kExpandString,
           Bytes(std::string("%ROOT%\\Bob\0", 11)));
    SetRaw(kHklm, "\\Soft\\Values", "Dword", regtype::kDword, {1, 0, 0, 0});
    SetRaw(kHklm, "\\Soft\\Values", "Qword", 11, {1, 2, 3, 4, 5, 6, 7, 8});
    SetRaw(kHklm, "\\Soft\\Values", "Multi", regtype::kMultiString,
           Bytes(std::string("Bob\0x\0\0", 7)));
    SetRaw(kHklm, "\\Soft\\Values", "None", regtype::kNone, {9, 9});
    SetRaw(kHklm, "\\Soft\\Values", "Binary", regtype::kBinary, {0xB0, 0x0B});
    SetRaw(kHklm, "\\Soft\\Values", "Big", regtype::kBinary,
           std::vector<std::uint8_t>(20000, 0x5A));
    SetRaw(kHklm, "\\Soft\\Values", "Taken", regtype::kDword, {7, 0, 0, 0});
    SetString(kHku, "\\S-1\\Soft", "Bob", "his");
    SetString(kHku, "\\S-1\\Soft", "Robert", "already here");
    // Nested key renames, the outer one onto an existing key.
    SetString(kHklm, "\\Soft\\Tree\\Bob", "", "default");
    SetRaw(kHklm, "\\Soft\\Tree\\Bob\\Inner", "Huge", regtype::kBinary,
           std::vector<std::uint8_t>(17000, 0xC3));
    SetString(kHklm, "\\Soft\\Tree\\Bob\\Inner\\Deep", "Leaf", "v");
    SetString(kHklm, "\\Soft\\Tree\\Robert", "Old", "target contents");
    SetString(kHklm, "\\Soft\\Tree\\Robert\\Child", "Old", "target child");
    SetIni("Mail", "Owner", "Bob");
    SetIni("Mail", "Bob", "variable named Bob");
    SetIni("Mail", "Robert", "replaced by the rename");
    MakeShortcut(kLink, {"\\\\T\\Bob\\APP.EXE", "\\\\T\\Bob", "/user=Bob"});
    flags.startingDateGiven = true;

    for (const char* name : {"Sz", "Expand", "Dword", "Qword", "Multi", "None", "Binary", "Big"})
      Add(kHklm, kChangeVariableContents, "\\Soft\\Values", name, "Robert");
    Add(kHklm, kChangeVariableName, "\\Soft\\Values", "Binary", "Taken");
    Add(kHku, kChangeVariableName, "\\S-1\\Soft", "Bob", "Robert");
    Add(kHku, kChangeVariableContents, "\\S-1\\Soft", "Bob", "contents after the rename");
    Add(changekind::kIniEntry, kChangeVariableContents, kIni, "[Mail]Owner", "Robert");
    Add(changekind::kIniEntry, kChangeVariableName, kIni, "[Mail]Bob", "Robert");
    Add(changekind::kShortcutFile, kChangeShortcutPath, kLink, "", "\\\\T\\Robert\\APP.EXE");
    Add(changekind::kShortcutFile, kChangeShortcutArguments, kLink, "", "/user=Robert");
    Add(kHklm, kRenameHive, "\\Soft\\Tree\\Bob\\Inner", "\\Soft\\Tree\\Bob\\Inner2", "");
    Add(kHklm, kRenameHive, "\\Soft\\Tree\\Bob", "\\Soft\\Tree\\Robert", "");
    // Two contents changes whose key went after the scan: their writes make it, two levels.
    Add(kHklm, kChangeVariableContents, kMadeKey, "A", "Robert");
    Add(kHklm, kChangeVariableContents, kMadeKey, "B", "Robert");
  }
};

TEST_F(JournalSaveTest, ARollbackPutsBackEverythingAJournaledSaveChanged) {
  SeedEveryKind();
  const Snapshot before = Take();

  const SaveResult result = Save();
  ASSERT_EQ(result.ending, SaveEnding::kCompleted) << result.error;
  ASSERT_NE(Take(), before);
  EXPECT_EQ(String(kHklm, "\\Soft\\Tree\\Robert\\Inner2\\Deep", "Leaf"), "v");

  PutJournalOnDisk();
  const std::vector<RestoreStatus> statuses = RollBack();
  EXPECT_EQ(Take(), before);
  // The key a rename's target waited in was gone again when the run ended, and the values in
  // the key the run made went with that key: as before.
  EXPECT_EQ(std::count(statuses.begin(), statuses.end(), RestoreStatus::kRestored),
            static_cast<long>(statuses.size()) - 3);
  EXPECT_EQ(std::count(statuses.begin(), statuses.end(), RestoreStatus::kAsBefore), 3);
  EXPECT_FALSE(KeyExists(kHklm, "\\Soft\\Made"));
  // The journal key stays, for the next journal; "Last Run" is gone again.
  EXPECT_FALSE(Value(kHklm, "\\Software\\Varnok\\Consulting\\ZEB", "Last Run"));
}

// A key renamed only in the case of a letter the Registry folds comes back under its old
// spelling, with its contents, on both platforms, also when the run was stopped half way.
TEST_F(JournalSaveTest, ACaseOnlyKeyRenameRollsBackToTheOldSpelling) {
  ASSERT_EQ(JournalKeyForWriting(registry, facts).status, JournalKeyStatus::kFound);
  SetString(kHklm, "\\Soft\\Caf\xE9", "", "default");
  SetString(kHklm, "\\Soft\\Caf\xE9\\Sub", "V", "inner");
  Add(kHklm, kRenameHive, "\\Soft\\Caf\xE9", "\\Soft\\CAF\xC9", "");
  const Snapshot original = Take();
  const auto names = [&] {
    RegKey soft = 0;
    EXPECT_EQ(registry.OpenKey(kHklm, "Soft", KeyAccess::kAll, &soft), winerr::kSuccess);
    const KeyHandle owned(registry, soft);
    return ListSubKeys(registry, soft);
  };
  for (int platform : {platformid::kWindowsNt, platformid::kWindows9x}) {
    system.platformId = platform;
    for (std::size_t k = 0;; ++k) {
      WriteBudget budget(k);
      registry.UseWriteBudget(&budget);
      bool finished = false;
      try {
        finished = Save().ending == SaveEnding::kCompleted;
        EXPECT_TRUE(finished);
        EXPECT_EQ(names(), std::vector<std::string>{"CAF\xC9"});
      } catch (const SimulatedKill&) {
      }
      registry.UseWriteBudget(nullptr);
      PutJournalOnDisk();
      RollBack();
      ASSERT_EQ(Take(), original) << platform << ", stopped at write " << k;
      ASSERT_EQ(names(), std::vector<std::string>{"Caf\xE9"}) << platform << ", write " << k;
      if (finished) break;
    }
  }
}

// The first journal of a computer makes its key; later ones sign with the same key.
TEST_F(JournalSaveTest, TheFirstJournalMakesTheComputersKeyAndLaterOnesReuseIt) {
  SetString(kHku, "\\S-1\\Soft", "Bob", "his");
  Add(kHku, kChangeVariableContents, "\\S-1\\Soft", "Bob", "Robert");
  ASSERT_EQ(ReadJournalKey(registry).status, JournalKeyStatus::kNotFound);
  ASSERT_EQ(Save().ending, SaveEnding::kCompleted);
  const JournalKeyResult key = ReadJournalKey(registry);
  ASSERT_EQ(key.status, JournalKeyStatus::kFound);
  EXPECT_EQ(key.key.size(), kJournalKeyBytes);
  EXPECT_EQ(JournalKeyForWriting(registry, facts).key, key.key);

  // A computer whose generator gives nothing writes no journal, and nothing else either.
  JournaledWorkstation fresh;
  fresh.facts.randomFails = true;
  EXPECT_EQ(JournalKeyForWriting(fresh.registry, fresh.facts).status, JournalKeyStatus::kFailed);
  EXPECT_EQ(ReadJournalKey(fresh.registry).status, JournalKeyStatus::kNotFound);
}

// All of the first pass goes to disk in one flush; each key rename has its own.
TEST_F(JournalSaveTest, TheFirstPassIsJournaledInOneFlushAndEachKeyRenameInItsOwn) {
  SeedEveryKind();
  ASSERT_EQ(Save().ending, SaveEnding::kCompleted);
  // Header, first pass, two key renames, Last Run, and the closing flush.
  EXPECT_EQ(journal.flushes, 6);
  const std::string text = journal.files[kJournal].flushed;
  EXPECT_EQ(text, journal.files[kJournal].appended);
  EXPECT_NE(text.find("value 1 HKEY_LOCAL_MACHINE \"\\\\Soft\\\\Values\" \"Sz\" REG_SZ \"Bob\""),
            std::string::npos);
  EXPECT_NE(text.find("\"Last Run\" absent"), std::string::npos);
  EXPECT_NE(text.find("computer \"WKS-0042\""), std::string::npos);
}

TEST_F(JournalSaveTest, AJournalThatCannotBeCreatedEndsSaveBeforeAnyWrite) {
  SeedEveryKind();
  testing::RecordingFileWriter reportWriter;
  ChangeReport changeReport("C:\\ZEB\\report.csv", reportWriter, view);
  report = &changeReport;
  const Snapshot before = Take();
  journal.uncreatable.insert(kJournal);

  const SaveResult result = Save();

  EXPECT_EQ(result.ending, SaveEnding::kFailed);
  EXPECT_TRUE(result.journalFailed);
  EXPECT_EQ(result.error, "Unable to write the journal C:\\ZEB\\run.jnl");
  EXPECT_EQ(Take().hku, before.hku);
  EXPECT_EQ(Take().ini, before.ini);
  EXPECT_TRUE(system.commands.empty());  // not even the spooler was stopped
  for (const LineOutcome& outcome : result.outcomes)
    EXPECT_EQ(outcome.status, LineStatus::kNotReached);
  EXPECT_NE(reportWriter.files["C:\\ZEB\\report.csv"].find(
                "message: undo journal C:\\ZEB\\run.jnl"),
            std::string::npos);
}

// A journal that stops taking records half way: the rename it could not journal is not made,
// nor anything after it.
TEST_F(JournalSaveTest, AJournalThatFailsHalfWayStopsSaveBeforeTheWriteItCouldNotCover) {
  SeedEveryKind();
  // The header and the first pass go through; the first key rename's flush fails.
  journal.flushLimit = 2;
  const SaveResult result = Save();

  EXPECT_EQ(result.ending, SaveEnding::kFailed);
  EXPECT_TRUE(result.journalFailed);
  EXPECT_EQ(String(kHku, "\\S-1\\Soft", "Robert"), "contents after the rename");
  EXPECT_TRUE(KeyExists(kHklm, "\\Soft\\Tree\\Bob\\Inner"));
  EXPECT_EQ(String(kHklm, "\\Soft\\Tree\\Robert", "Old"), "target contents");
  const std::size_t inner = 15;  // the first key rename's line
  EXPECT_EQ(result.outcomes[inner].status, LineStatus::kFailed);
  EXPECT_EQ(result.outcomes[inner].error, "Unable to write the journal C:\\ZEB\\run.jnl");
  EXPECT_EQ(result.outcomes[inner + 1].status, LineStatus::kNotReached);
}

TEST_F(JournalSaveTest, AnItemChangedByHandSinceTheRunIsLeftAloneAndReported) {
  SeedEveryKind();
  const Snapshot before = Take();
  ASSERT_EQ(Save().ending, SaveEnding::kCompleted);
  SetString(kHku, "\\S-1\\Soft", "Robert", "changed by hand");
  PutJournalOnDisk();

  const LoadedJournal loaded = LoadJournal(workstation, kJournal);
  ASSERT_TRUE(loaded.ok) << loaded.error;
  int changedSince = 0;
  for (const JournalItem& item : loaded.restorations) {
    const RestoreStatus status = RestoreItem(workstation, item);
    if (status == RestoreStatus::kChangedSince) {
      ++changedSince;
      EXPECT_EQ(item.name, "Robert");
    } else if (status != RestoreStatus::kAsBefore) {
      EXPECT_EQ(status, RestoreStatus::kRestored) << item.path << " " << item.name;
    }
  }
  EXPECT_EQ(changedSince, 1);
  Snapshot after = Take();
  EXPECT_EQ(String(kHku, "\\S-1\\Soft", "Robert"), "changed by hand");
  EXPECT_EQ(after.hklm, before.hklm);
  EXPECT_EQ(after.ini, before.ini);
  EXPECT_EQ(String(kHku, "\\S-1\\Soft", "Bob"), "his");
}

// A key the run made is journaled once as absent, after the values written into it, and goes
// again with the rollback, unless it holds more than the run put there.
TEST_F(JournalSaveTest, AKeyTheRunMadeIsRemovedUnlessChangedSince) {
  SeedEveryKind();
  const Snapshot before = Take();
  ASSERT_EQ(Save().ending, SaveEnding::kCompleted);
  ASSERT_EQ(String(kHklm, kMadeKey, "A"), "Robert");
  const std::string text = journal.files[kJournal].flushed;
  const std::string absent = "HKEY_LOCAL_MACHINE \"\\\\Soft\\\\Made\" absent";
  const std::size_t keyRecord = text.find(absent);
  ASSERT_NE(keyRecord, std::string::npos) << text;
  EXPECT_EQ(text.find(absent, keyRecord + 1), std::string::npos) << "recorded twice";
  EXPECT_LT(text.find("Deeper\" \"B\" absent"), keyRecord);
  EXPECT_LT(keyRecord, text.find("after "));  // on disk before the pass wrote

  SetString(kHklm, "\\Soft\\Made", "ByHand", "someone else's");
  PutJournalOnDisk();
  const LoadedJournal loaded = LoadJournal(workstation, kJournal);
  ASSERT_TRUE(loaded.ok) << loaded.error;
  for (const JournalItem& item : loaded.restorations) {
    const RestoreStatus status = RestoreItem(workstation, item);
    if (item.kind == JournalItemKind::kKey && item.path == "\\Soft\\Made") {
      EXPECT_EQ(status, RestoreStatus::kChangedSince);
    }
  }
  EXPECT_EQ(String(kHklm, "\\Soft\\Made", "ByHand"), "someone else's");
  // Its values are the run's own items: they go back to absent, the hand-made one stays.
  EXPECT_FALSE(Value(kHklm, kMadeKey, "A"));
  EXPECT_FALSE(Value(kHklm, kMadeKey, "B"));
  EXPECT_EQ(Take().hku, before.hku);
}

TEST_F(JournalSaveTest, AJournalAlteredOrFromAnotherComputerIsRefused) {
  SeedEveryKind();
  ASSERT_EQ(Save().ending, SaveEnding::kCompleted);
  std::string text = journal.files[kJournal].flushed;

  std::string altered = text;
  altered.replace(altered.find("\"Bob\""), 5, "\"Eve\"");
  files.WriteFile(kJournal, altered);
  LoadedJournal loaded = LoadJournal(workstation, kJournal);
  EXPECT_FALSE(loaded.ok);
  EXPECT_TRUE(loaded.restorations.empty());
  EXPECT_NE(loaded.error.find("line 5: the record does not verify"), std::string::npos)
      << loaded.error;

  files.WriteFile(kJournal, text);
  facts.computerName = "WKS-0043";
  loaded = LoadJournal(workstation, kJournal);
  EXPECT_FALSE(loaded.ok);
  EXPECT_EQ(loaded.error,
            "The journal C:\\ZEB\\run.jnl was written on the computer WKS-0042, not on WKS-0043");

  // Another computer's key with this computer's name: it does not verify.
  facts.computerName = "WKS-0042";
  JournaledWorkstation other;
  other.facts.computerName = "ELSEWHERE";
  Workstation elsewhere{other.registry, other.profiles, other.finder, other.shellLinks,
                        other.facts, other.fileBytes};
  ASSERT_EQ(JournalKeyForWriting(other.registry, other.facts).status, JournalKeyStatus::kFound);
  other.files.MakeFolder("C:\\ZEB");
  other.files.WriteFile(kJournal, text);
  other.facts.computerName = "WKS-0042";
  loaded = LoadJournal(elsewhere, kJournal);
  EXPECT_FALSE(loaded.ok);
  EXPECT_NE(loaded.error.find("line 1: the record does not verify"), std::string::npos)
      << loaded.error;
}

// Stopped at its k-th platform write, for every k, Save leaves a journal (as far as it was
// flushed) that rolls the workstation back to exactly what it was, on both platforms.
TEST_F(JournalSaveTest, SaveStoppedAtAnyWriteRollsBackToTheOriginal) {
  SeedEveryKind();
  const Snapshot original = Take();

  for (int platform : {platformid::kWindowsNt, platformid::kWindows9x}) {
    system.platformId = platform;
    std::size_t k = 0;
    for (bool finished = false; !finished; ++k) {
      WriteBudget budget(k);
      registry.UseWriteBudget(&budget);
      files.UseWriteBudget(&budget);
      try {
        const SaveResult result = Save();
        finished = true;
        ASSERT_EQ(result.ending, SaveEnding::kCompleted) << result.error;
      } catch (const SimulatedKill&) {
      }
      registry.UseWriteBudget(nullptr);
      files.UseWriteBudget(nullptr);
      PutJournalOnDisk();
      RollBack();
      ASSERT_EQ(Take(), original) << "platform " << platform << ", stopped at write " << k;
      EXPECT_FALSE(Value(kHklm, "\\Software\\Varnok\\Consulting\\ZEB", "Last Run"));
    }
    EXPECT_GT(k, 30u);  // every kind of write was reached
  }
}

}  // namespace
}  // namespace zeb
