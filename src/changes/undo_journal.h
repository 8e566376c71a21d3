#pragma once
// The journal Save writes ("/JOURNAL="): before a write, the image of every item it will
// change, on disk before the write is made; once written, a digest of what it left there.
// Save records a pass's items together and makes them durable with one flush.
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "changes/journal_format.h"
#include "platform/append_file_api.h"
#include "platform/registry.h"
#include "platform/workstation.h"

namespace zeb {

// "Unable to write the journal %s": raised when the journal cannot be made or written, and
// when an item cannot be read to be journaled; Save then writes nothing more.
class JournalError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What a change is about to write: a value, a whole key or a file.
struct UndoTarget {
  JournalItemKind kind = JournalItemKind::kValue;
  RegKey root = 0;
  std::string path;
  std::string name;
  // A contents write opens its key with create: when the key is missing, the topmost key the
  // write would make is recorded too (absent), so that a rollback can remove it again.
  bool writeMakesKey = false;
};

class UndoJournal {
 public:
  // Makes the file and writes its header, on disk when it returns. Throws JournalError.
  // `loadedHives` are the hives this run loaded: the first item recorded in one of them is
  // preceded by the hive's record.
  UndoJournal(Workstation& workstation, AppendFiles& files, const std::string& path,
              std::vector<ProfileHive> loadedHives = {});
  // Hands what was recorded after the last commit to the file (not flushed), as far as it
  // goes: a Save ended by an error leaves its journal as complete as it can.
  ~UndoJournal();
  UndoJournal(const UndoJournal&) = delete;
  UndoJournal& operator=(const UndoJournal&) = delete;

  const std::string& Path() const { return path_; }

  // Appends the target's image as it is now. A value or file already recorded keeps its
  // first image (the one a rollback must put back); a key is recorded every time, because a
  // rename earlier in the run may have changed what lies there.
  void Record(const UndoTarget& target);
  // Everything recorded so far is on disk (with the keys the batch's writes will make).
  void Commit();
  // Appends what every item recorded since the last call holds now.
  void RecordAfters();

 private:
  [[noreturn]] void Fail() const;
  void Append(const std::string& lines);
  std::string Identity(const UndoTarget& target) const;
  void RecordHiveOf(const UndoTarget& target);
  void NoteKeyTheWriteMakes(const UndoTarget& target);
  // A value's image through one handle kept open for its key: a pass's values mostly share
  // their keys, and each open and close is a round trip to the Registry. Only used while Save
  // writes nothing (recording a batch, or the digests after it).
  std::optional<RegistryValueImage> CaptureValueCached(const UndoTarget& target);

  Workstation& workstation_;
  std::string path_;
  std::unique_ptr<AppendFile> file_;
  std::unique_ptr<JournalFormatter> formatter_;
  std::string pending_;  // appended records not yet handed to the file
  int nextId_ = 1;
  std::map<std::string, int> recorded_;  // values and files, by identity
  // Keys the batch's writes will make, recorded at its commit: after every value in them.
  std::vector<UndoTarget> keysToMake_;
  std::set<std::string> keysToMakeIds_;
  std::vector<std::pair<int, UndoTarget>> awaitingAfter_;
  std::vector<ProfileHive> hivesToName_;  // loaded hives without a record yet
  KeyHandle cachedKey_;
  RegKey cachedRoot_ = 0;
  std::string cachedPath_;
};

}  // namespace zeb
