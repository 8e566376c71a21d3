#include "app/rollback_run.h"

#include <stdexcept>

#include "app/scan_run.h"
#include "changes/rollback.h"
#include "platform/text.h"

namespace zeb {
namespace {

// The line of one restoration: where it lies, as the check-list shows changes, and what the
// run changed there in the change's own terms.
void AddLine(ChangeList& changes, const JournalItem& item) {
  const std::string what = "as before (journal record " + std::to_string(item.id) + ")";
  bool added = false;
  switch (item.kind) {
    case JournalItemKind::kValue:
      added = changes.AddChange(static_cast<std::uint32_t>(item.root), kChangeVariableContents,
                                item.path, item.name, what);
      break;
    case JournalItemKind::kKey:
      added = changes.AddChange(static_cast<std::uint32_t>(item.root), kRenameHive, item.path,
                                item.path, what);
      break;
    case JournalItemKind::kFile: {
      const bool shortcut = EndsWithIgnoreCase(item.path, ".lnk");
      added = changes.AddChange(shortcut ? changekind::kShortcutFile : changekind::kIniEntry,
                                shortcut ? kChangeShortcutPath : kChangeVariableContents,
                                item.path, "", what);
      break;
    }
  }
  // Record numbers are unique, so no line is a duplicate and lines match restorations.
  if (!added) throw std::logic_error("a restoration was listed twice");
}

}  // namespace

void ListRestorations(AppServices& services, AppState& state) {
  const LoadedJournal journal = LoadJournal(services.workstation, services.rollbackJournal);
  if (!journal.ok) {
    // A refused journal is a failed run, not a rollback with nothing to do.
    state.exitCode.Raise(ExitCode::kJournalFailed);
    throw std::runtime_error(journal.error);
  }
  state.rollbackRun = true;
  state.restorations = journal.restorations;
  state.rollbackHives = journal.hives;
  for (const JournalItem& item : journal.restorations) AddLine(state.Changes(), item);
  ShowScanResult(services, state);
  if (services.report) {
    services.report->AddMessage("rollback of the journal " + services.rollbackJournal +
                                " written on " + journal.header.computer + " at " +
                                journal.header.started);
    services.report->Write(state.Changes(), services.list);
  }
}

}  // namespace zeb
