#include "changes/undo_journal.h"

#include "changes/journal_key.h"
#include "changes/undo_image.h"
#include "platform/text.h"
#include "platform/unicode.h"
#include "platform/wide_case.h"

namespace zeb {
namespace {

constexpr char kUnableToWrite[] = "Unable to write the journal %s";

}  // namespace

UndoJournal::UndoJournal(Workstation& workstation, AppendFiles& files, const std::string& path,
                         std::vector<ProfileHive> loadedHives)
    : workstation_(workstation), path_(path), hivesToName_(std::move(loadedHives)) {
  const JournalKeyResult key = JournalKeyForWriting(workstation.registry, workstation.system);
  if (key.status != JournalKeyStatus::kFound) Fail();
  file_ = files.Create(path);
  if (!file_) Fail();
  formatter_ = std::make_unique<JournalFormatter>(key.key);
  SystemApi& system = workstation.system;
  Append(formatter_->Header(
      {system.ComputerName(), system.LocalTimestamp(), system.CommandLine()}));
  Commit();
}

UndoJournal::~UndoJournal() {
  if (file_ && !pending_.empty()) (void)file_->Append(pending_);
}

void UndoJournal::Fail() const { throw JournalError(SubstituteArgument(kUnableToWrite, path_)); }

// Records wait in memory until the commit: one file write per batch instead of one per line
// (each write is a system call, and under Wine a costly one). Nothing is written to the
// workstation between appending a record and its commit.
void UndoJournal::Append(const std::string& lines) { pending_ += lines; }

void UndoJournal::Commit() {
  // A rollback goes newest first: it meets each such key while the key still holds what the
  // run wrote into it, and removes it whole; its values are then as before.
  std::vector<UndoTarget> keys;
  keys.swap(keysToMake_);
  keysToMakeIds_.clear();
  for (const UndoTarget& key : keys) Record(key);
  // Save writes after a commit: a kept handle might then name a key that moved.
  cachedKey_.reset();
  if (!pending_.empty() && !file_->Append(pending_)) Fail();
  pending_.clear();
  if (!file_->Flush()) Fail();
}

std::optional<RegistryValueImage> UndoJournal::CaptureValueCached(const UndoTarget& target) {
  RegistryApi& api = workstation_.registry;
  if (!cachedKey_ || cachedRoot_ != target.root || cachedPath_ != target.path) {
    cachedKey_.reset();
    const std::size_t start = target.path.find_first_not_of('\\');
    RegKey raw = 0;
    if (api.OpenKey(target.root,
                    start == std::string::npos ? std::string() : target.path.substr(start),
                    KeyAccess::kAll, &raw) != winerr::kSuccess)
      return CaptureValue(api, target.root, target.path, target.name);  // missing or failing
    cachedKey_ = KeyHandle(api, raw);
    cachedRoot_ = target.root;
    cachedPath_ = target.path;
  }
  RegistryValueImage image;
  const long queried = api.QueryValue(cachedKey_.get(), target.name, &image.type, &image.data);
  if (queried == winerr::kFileNotFound) return RegistryValueImage{};
  if (queried != winerr::kSuccess) return std::nullopt;
  image.exists = true;
  return image;
}

std::string UndoJournal::Identity(const UndoTarget& target) const {
  // Folded as the Registry and the file system fold names, beyond ASCII too.
  return std::to_string(static_cast<int>(target.kind)) + "\n" + std::to_string(target.root) +
         "\n" + WideToUtf8(FoldedName(target.path)) + "\n" + WideToUtf8(FoldedName(target.name));
}

void UndoJournal::RecordHiveOf(const UndoTarget& target) {
  if (target.kind == JournalItemKind::kFile) return;
  for (auto it = hivesToName_.begin(); it != hivesToName_.end(); ++it)
    if (LiesInHive(*it, target.root, target.path)) {
      Append(formatter_->Hive(*it));
      hivesToName_.erase(it);
      return;
    }
}

void UndoJournal::Record(const UndoTarget& target) {
  const bool once = target.kind != JournalItemKind::kKey;
  const std::string identity = once ? Identity(target) : std::string();
  if (once && recorded_.count(identity)) return;

  JournalItem item;
  item.id = nextId_;
  item.kind = target.kind;
  item.root = target.root;
  item.path = target.path;
  item.name = target.name;
  RegistryApi& registry = workstation_.registry;
  switch (target.kind) {
    case JournalItemKind::kValue: {
      auto image = CaptureValueCached(target);
      if (!image) Fail();
      item.value = std::move(*image);
      break;
    }
    case JournalItemKind::kKey: {
      auto image = CaptureKey(registry, target.root, target.path);
      if (!image) Fail();
      item.key = std::move(*image);
      break;
    }
    case JournalItemKind::kFile: {
      auto image = CaptureFile(workstation_.fileBytes, target.path);
      if (!image) Fail();
      item.file = std::move(*image);
      break;
    }
  }
  RecordHiveOf(target);
  Append(formatter_->Item(item));
  ++nextId_;
  if (once) recorded_[identity] = item.id;
  awaitingAfter_.push_back({item.id, target});
  if (target.writeMakesKey && !item.value.exists) NoteKeyTheWriteMakes(target);
}

void UndoJournal::NoteKeyTheWriteMakes(const UndoTarget& target) {
  const std::optional<std::string> missing =
      TopmostMissingKey(workstation_.registry, target.root, target.path);
  if (!missing) return;  // the key is there, or the write's own failure will tell
  UndoTarget key{JournalItemKind::kKey, target.root, *missing, {}};
  // Nothing is written before the commit: one absent image per key and batch is enough.
  if (keysToMakeIds_.insert(Identity(key)).second) keysToMake_.push_back(std::move(key));
}

void UndoJournal::RecordAfters() {
  RegistryApi& registry = workstation_.registry;
  cachedKey_.reset();  // Save has written since the items were recorded
  for (const auto& [id, target] : awaitingAfter_) {
    std::optional<Sha256Digest> digest;
    switch (target.kind) {
      case JournalItemKind::kValue:
        if (auto image = CaptureValueCached(target))
          digest = ImageDigest(*image);
        break;
      case JournalItemKind::kKey:
        if (auto image = CaptureKey(registry, target.root, target.path))
          digest = ImageDigest(*image);
        break;
      case JournalItemKind::kFile:
        if (auto image = CaptureFile(workstation_.fileBytes, target.path))
          digest = ImageDigest(*image);
        break;
    }
    // Without a digest the rollback puts the item back without its check.
    if (digest) Append(formatter_->After(id, *digest));
  }
  awaitingAfter_.clear();
  cachedKey_.reset();
}

}  // namespace zeb
