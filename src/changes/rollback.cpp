#include "changes/rollback.h"

#include <optional>

#include "changes/journal_key.h"
#include "changes/undo_image.h"
#include "platform/text.h"
#include "platform/wide_case.h"

namespace zeb {
namespace {

// The item as it is now, as the digest an "after" record gives; nothing when unreadable.
std::optional<Sha256Digest> CurrentDigest(Workstation& workstation, const JournalItem& item) {
  switch (item.kind) {
    case JournalItemKind::kValue:
      if (auto image = CaptureValue(workstation.registry, item.root, item.path, item.name))
        return ImageDigest(*image);
      break;
    case JournalItemKind::kKey:
      if (auto image = CaptureKey(workstation.registry, item.root, item.path))
        return ImageDigest(*image);
      break;
    case JournalItemKind::kFile:
      if (auto image = CaptureFile(workstation.fileBytes, item.path)) return ImageDigest(*image);
      break;
  }
  return std::nullopt;
}

Sha256Digest BeforeDigest(const JournalItem& item) {
  switch (item.kind) {
    case JournalItemKind::kValue: return ImageDigest(item.value);
    case JournalItemKind::kKey: return ImageDigest(item.key);
    case JournalItemKind::kFile: break;
  }
  return ImageDigest(item.file);
}

bool Restore(Workstation& workstation, const JournalItem& item) {
  switch (item.kind) {
    case JournalItemKind::kValue:
      return RestoreValue(workstation.registry, item.root, item.path, item.name, item.value);
    case JournalItemKind::kKey:
      return RestoreKey(workstation.registry, item.root, item.path, item.key);
    case JournalItemKind::kFile: break;
  }
  return RestoreFile(workstation.fileBytes, item.path, item.file);
}

}  // namespace

LoadedJournal LoadJournal(Workstation& workstation, const std::string& path) {
  LoadedJournal loaded;
  std::string text;
  switch (workstation.fileBytes.ReadAll(path, &text)) {
    case FileReadStatus::kRead: break;
    case FileReadStatus::kNotFound:
      loaded.error = SubstituteArgument("The journal %s does not exist", path);
      return loaded;
    case FileReadStatus::kFailed:
      loaded.error = SubstituteArgument("Unable to read the journal %s", path);
      return loaded;
  }
  const JournalKeyResult key = ReadJournalKey(workstation.registry);
  const std::string computer = workstation.system.ComputerName();
  const JournalContent content =
      ParseJournal(text, key.status == JournalKeyStatus::kFound ? key.key : std::string(), path);
  // The computer first: another computer's journal fails to verify too, but this says why.
  if (content.headerRead && !SameFoldedName(content.header.computer, computer)) {
    loaded.error = "The journal " + path + " was written on the computer " +
                   content.header.computer + ", not on " + computer;
    return loaded;
  }
  if (key.status == JournalKeyStatus::kNotFound && content.headerRead) {
    loaded.error = "The journal " + path + " cannot be verified: this computer has no journal "
                   "key (it has written no journal)";
    return loaded;
  }
  if (!content.ok()) {
    loaded.error = "The journal cannot be used: " + content.problem.Text();
    return loaded;
  }
  loaded.ok = true;
  loaded.header = content.header;
  loaded.cutShort = content.cutShort;
  loaded.hives = content.hives;
  loaded.restorations.assign(content.items.rbegin(), content.items.rend());
  return loaded;
}

std::string RestoreStatusText(RestoreStatus status) {
  switch (status) {
    case RestoreStatus::kRestored: return "restored";
    case RestoreStatus::kAsBefore: return "already as before";
    case RestoreStatus::kChangedSince: return "changed since";
    case RestoreStatus::kFailed: break;
  }
  return "failed";
}

RestoreStatus RestoreItem(Workstation& workstation, const JournalItem& item) {
  const std::optional<Sha256Digest> now = CurrentDigest(workstation, item);
  if (!now) return RestoreStatus::kFailed;
  // A key renamed only in letter case holds what it held; its name tells it apart.
  const bool spelt = item.kind != JournalItemKind::kKey ||
                     KeySpeltAsPath(workstation.registry, item.root, item.path);
  if (*now == BeforeDigest(item) && spelt) return RestoreStatus::kAsBefore;
  if (item.after && *now != *item.after) return RestoreStatus::kChangedSince;
  return Restore(workstation, item) ? RestoreStatus::kRestored : RestoreStatus::kFailed;
}

}  // namespace zeb
