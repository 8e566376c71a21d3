#pragma once
// "/ROLLBACK=": a journal read, verified and turned into the restorations to make, newest
// first; and the restorer, which puts one item back once it has checked that the item still
// holds what the journaled run left there.
#include <string>
#include <vector>

#include "changes/journal_format.h"
#include "platform/workstation.h"

namespace zeb {

struct LoadedJournal {
  bool ok = false;
  std::string error;  // when !ok: why the journal is refused, for the error box
  JournalHeader header;
  std::vector<JournalItem> restorations;  // the journal's items in reverse order
  std::vector<ProfileHive> hives;          // the hives to load for them
  bool cutShort = false;
};

// Reads the journal through the file seam and verifies it with this computer's key. A
// journal that names another computer, does not verify, is malformed or of another format
// version is refused, and nothing in it may be used.
LoadedJournal LoadJournal(Workstation& workstation, const std::string& path);

enum class RestoreStatus {
  kRestored,       // put back as it was before the run
  kAsBefore,       // it already was as before the run; nothing written
  kChangedSince,   // it holds neither what the run left there nor what was before: left alone
  kFailed,         // it could not be read or written
};

// "restored", "already as before", "changed since", "failed".
std::string RestoreStatusText(RestoreStatus status);

// Puts the item back. An item without an "after" record was being written when the run was
// stopped: it is put back without the check.
RestoreStatus RestoreItem(Workstation& workstation, const JournalItem& item);

}  // namespace zeb
