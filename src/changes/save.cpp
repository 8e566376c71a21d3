#include "changes/save.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>

#include "changes/change_writer.h"
#include "changes/rollback.h"
#include "changes/save_progress.h"
#include "changes/undo_journal.h"
#include "platform/date.h"
#include "platform/registry.h"

namespace zeb {
namespace {

constexpr char kConfirmation[] =
    "Clicking OK will cause selected changes to be written to this workstation.";
constexpr char kNoShortcutObject[] = "Unable to create the shell's shortcut object";
constexpr char kOwnKey[] = "\\Software\\Varnok\\Consulting\\ZEB";
constexpr char kLastRun[] = "Last Run";
constexpr int kHidden = 0;
constexpr std::size_t kNoLine = static_cast<std::size_t>(-1);

class SaveRun {
 public:
  explicit SaveRun(SaveInputs& in)
      : in_(in),
        progress_(in.view, in.workstation.system, in.flags.stealthMode),
        windowsNt_(in.workstation.system.PlatformId() == platformid::kWindowsNt) {
    // Save processes no messages, so the ticks cannot change while it runs.
    const std::size_t count = std::min(in.lines.LineCount(), in.changes.size());
    for (std::size_t i = 0; i < count; ++i) ticked_.push_back(in.lines.IsTicked(i));
    outcomes_.resize(in.changes.size(), LineOutcome{LineStatus::kUnticked, {}});
    for (std::size_t i = 0; i < count; ++i)
      if (ticked_[i]) outcomes_[i].status = LineStatus::kNotReached;
  }

  SaveResult Run() {
    SaveResult result;
    try {
      WriteAll();
      result.ending = SaveEnding::kCompleted;
    } catch (const std::exception& error) {
      // Changes written so far stay written; the machine is left usable before the message.
      if (currentLine_ != kNoLine) outcomes_[currentLine_] = {LineStatus::kFailed, error.what()};
      if (spoolerStopped_) StartSpooler();
      in_.view.SetCursor(Cursor::kDefault);
      result.ending = SaveEnding::kFailed;
      result.error = error.what();
      result.journalFailed = dynamic_cast<const JournalError*>(&error) != nullptr;
    }
    if (in_.report) {
      if (!in_.journalPath.empty()) in_.report->AddMessage("undo journal " + in_.journalPath);
      in_.report->Write(in_.changes, in_.lines, outcomes_);
    }
    result.outcomes = std::move(outcomes_);
    return result;
  }

 private:
  void WriteAll() {
    if (in_.restorations) return RestoreAll();
    // Before anything else: a journal that cannot be made leaves the workstation untouched.
    if (!in_.journalPath.empty())
      journal_.emplace(in_.workstation, *in_.journalFiles, in_.journalPath, in_.loadedHives);
    const std::unique_ptr<ShellLink> shortcut = in_.workstation.shellLinks.Create();
    if (!shortcut) throw std::runtime_error(kNoShortcutObject);
    ChangeWriter writer(in_.workstation, *shortcut);
    if (journal_) JournalFirstPass(writer);

    if (windowsNt_) StopSpooler();
    WalkTickedLines(Pass::kValues, writer);
    if (journal_) journal_->RecordAfters();
    WalkTickedLines(Pass::kKeyRenames, writer);
    if (windowsNt_) StartSpooler();

    if (in_.flags.startingDateGiven) {
      if (journal_) {
        journal_->Record({JournalItemKind::kValue, hkey::kLocalMachine, kOwnKey, kLastRun});
        journal_->Commit();
      }
      WriteLastRun();
      if (journal_) journal_->RecordAfters();
    }
    if (journal_) journal_->Commit();
    progress_.ClearMainLabels();
    in_.view.SetCursor(Cursor::kDefault);
    in_.flags.changesMade = true;
  }

  // Key renames come last, so that the other changes find their keys under the old paths.
  enum class Pass { kValues, kKeyRenames };

  // Every item the first pass writes goes to disk in one flush before it starts. A key
  // rename gets a flush of its own: an earlier rename moves what a later one finds.
  void JournalFirstPass(ChangeWriter& writer) {
    for (std::size_t i = 0; i < ticked_.size(); ++i)
      if (ticked_[i] && in_.changes[i].subType != kRenameHive)
        for (const UndoTarget& target : writer.FirstPassTargets(in_.changes[i]))
          journal_->Record(target);
    journal_->Commit();
    writer.beforeKeyRename = [this](const std::vector<UndoTarget>& targets) {
      for (const UndoTarget& target : targets) journal_->Record(target);
      journal_->Commit();
    };
  }

  void WalkTickedLines(Pass pass, ChangeWriter& writer) {
    WalkTickedLines(
        [pass](const ChangeRec& change) {
          return (change.subType == kRenameHive) == (pass == Pass::kKeyRenames);
        },
        [&](std::size_t i) {
          const ChangeRec& change = in_.changes[i];
          const LineOutcome outcome =
              pass == Pass::kKeyRenames ? writer.RenameKey(change) : writer.Write(change);
          if (journal_ && pass == Pass::kKeyRenames) journal_->RecordAfters();
          return outcome;
        });
  }

  // Every ticked line shows its progress; unticked lines are passed over.
  template <typename Selects, typename WriteLine>
  void WalkTickedLines(Selects selects, WriteLine writeLine) {
    for (std::size_t i = 0; i < ticked_.size(); ++i) {
      if (!ticked_[i]) continue;
      const ChangeRec& change = in_.changes[i];
      if (selects(change)) {
        currentLine_ = i;
        progress_.ShowOperation(change.subType);
        outcomes_[i] = writeLine(i);
        currentLine_ = kNoLine;
      }
      progress_.ShowProgress(change);
    }
  }

  // A rollback: the ticked restorations, in the lines' order (newest record first), in the
  // same walk, with the printer spooler stopped as for any Save.
  void RestoreAll() {
    if (windowsNt_) StopSpooler();
    WalkTickedLines([](const ChangeRec&) { return true; }, [&](std::size_t i) {
      const JournalItem& item = (*in_.restorations)[i];
      if (item.kind != JournalItemKind::kFile)
        for (const auto& [hive, why] : in_.hivesNotLoaded)
          if (LiesInHive(hive, item.root, item.path)) return LineOutcome{LineStatus::kFailed, why};
      return Restored(RestoreItem(in_.workstation, item));
    });
    if (windowsNt_) StartSpooler();
    progress_.ClearMainLabels();
    in_.view.SetCursor(Cursor::kDefault);
    in_.flags.changesMade = true;
  }

  static LineOutcome Restored(RestoreStatus status) {
    switch (status) {
      case RestoreStatus::kRestored: return {LineStatus::kRestored, {}};
      case RestoreStatus::kAsBefore: return {LineStatus::kAsBefore, {}};
      case RestoreStatus::kChangedSince: return {LineStatus::kChangedSince, {}};
      case RestoreStatus::kFailed: break;
    }
    return {LineStatus::kFailed, "Unable to restore it"};
  }

  void StopSpooler() {
    progress_.ShowSpoolerStopping();
    in_.workstation.system.WinExec("NET STOP SPOOLER", kHidden);
    spoolerStopped_ = true;
  }

  void StartSpooler() {
    progress_.ShowSpoolerStarting();
    in_.workstation.system.WinExec("NET START SPOOLER", kHidden);
    spoolerStopped_ = false;
  }

  void WriteLastRun() {
    SystemApi& system = in_.workstation.system;
    Registry registry(in_.workstation.registry, hkey::kLocalMachine);
    registry.OpenKey(kOwnKey, true);  // a key that cannot be made fails at the write
    registry.WriteString(kLastRun, FormatShortDate(system.Today(), system.ShortDateFormat()));
  }

  SaveInputs& in_;
  SaveProgress progress_;
  const bool windowsNt_;
  std::vector<bool> ticked_;
  std::vector<LineOutcome> outcomes_;
  std::size_t currentLine_ = kNoLine;
  bool spoolerStopped_ = false;
  std::optional<UndoJournal> journal_;
};

}  // namespace

SaveResult SaveChanges(SaveInputs& inputs) {
  if (inputs.lines.LineCount() == 0) return {};
  if (inputs.flags.promptUser && !inputs.boxes.ConfirmInformation(kConfirmation))
    return {SaveEnding::kCancelled, {}, {}};
  if (inputs.disableSaveButton) inputs.disableSaveButton();
  inputs.view.SetCursor(Cursor::kHourglass);
  return SaveRun(inputs).Run();
}

}  // namespace zeb
