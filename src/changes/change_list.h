#pragma once
// The proposed changes, in the order they were found, each with its line in the check-list.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>

#include "platform/run_flags.h"
#include "platform/view.h"

namespace zeb {

// Where a change is made: an INI entry, a shortcut file, or else a Registry root-key handle.
namespace changekind {
constexpr std::uint32_t kIniEntry = 1;
constexpr std::uint32_t kShortcutFile = 2;
}  // namespace changekind

enum SubType : std::uint8_t {
  kRenameHive = 1,
  kChangeVariableName = 2,
  kChangeVariableContents = 3,
  kChangeShortcutPath = 4,
  kChangeShortcutDirectory = 5,
  kChangeShortcutArguments = 6,
};

struct ChangeRec {
  std::uint32_t kind = 0;
  std::uint8_t subType = 0;
  std::string location;
  std::string oldText;
  std::string newText;
};

// "HKEY_LOCAL_MACHINE" and the other predefined root keys' names.
std::string RootKeyName(std::uint32_t rootKey);

class ChangeList {
 public:
  ChangeList(CheckList& lines, ProgressView& view, const RunFlags& flags);

  // Appends the change and its check-list line unless an equal one (texts compared with
  // ASCII letters folded) is already listed. False for a refused duplicate.
  bool AddChange(std::uint32_t kind, std::uint8_t subType, const std::string& location,
                 const std::string& oldText, const std::string& newText);

  std::size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }
  const ChangeRec& operator[](std::size_t i) const { return records_[i]; }
  auto begin() const { return records_.begin(); }
  auto end() const { return records_.end(); }

 private:
  CheckList& lines_;
  ProgressView& view_;
  const RunFlags& flags_;
  std::deque<ChangeRec> records_;  // stable addresses; never shrinks
  // Records by a hash of their case-folded fields, so that the duplicate check looks at a
  // handful of candidates instead of the whole list.
  std::unordered_multimap<std::uint64_t, std::size_t> index_;
};

}  // namespace zeb
