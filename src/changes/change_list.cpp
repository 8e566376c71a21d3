#include "changes/change_list.h"

#include <cstdio>

#include "platform/text.h"

namespace zeb {
namespace {

struct RootKeyEntry {
  std::uint32_t handle;
  const char* name;
};

constexpr RootKeyEntry kRootKeyNames[] = {
    {0x80000000u, "HKEY_CLASSES_ROOT"},  {0x80000001u, "HKEY_CURRENT_USER"},
    {0x80000002u, "HKEY_LOCAL_MACHINE"}, {0x80000003u, "HKEY_USERS"},
    {0x80000005u, "HKEY_CURRENT_CONFIG"}, {0x80000006u, "HKEY_DYN_DATA"},
};

// FNV-1a over the fields with ASCII letters upper-cased, so that two changes the duplicate
// rule calls equal always land on the same hash.
class FoldedHash {
 public:
  void Add(std::uint32_t number) {
    for (int shift = 0; shift < 32; shift += 8) AddByte(static_cast<unsigned char>(number >> shift));
  }
  void Add(const std::string& text) {
    Add(static_cast<std::uint32_t>(text.size()));  // keeps ("ab","c") apart from ("a","bc")
    for (char c : text) AddByte(static_cast<unsigned char>(UpperAscii(c)));
  }
  std::uint64_t value() const { return hash_; }

 private:
  void AddByte(unsigned char byte) {
    hash_ ^= byte;
    hash_ *= 0x100000001b3ull;
  }
  std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

std::uint64_t DuplicateKey(std::uint32_t kind, std::uint8_t subType, const std::string& location,
                           const std::string& oldText, const std::string& newText) {
  FoldedHash hash;
  hash.Add(kind);
  hash.Add(subType);
  hash.Add(location);
  hash.Add(oldText);
  hash.Add(newText);
  return hash.value();
}

std::string LineText(std::uint32_t kind, const std::string& location) {
  switch (kind) {
    case changekind::kIniEntry: return "INI File: " + location;
    case changekind::kShortcutFile: return "SHORTCUT: " + location;
    default: return "REGISTRY: " + RootKeyName(kind) + location;
  }
}

}  // namespace

std::string RootKeyName(std::uint32_t rootKey) {
  for (const RootKeyEntry& entry : kRootKeyNames)
    if (entry.handle == rootKey) return entry.name;
  // No scanner produces another handle; name it plainly rather than show an empty name.
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "(unknown root key 0x%08X)", static_cast<unsigned>(rootKey));
  return buffer;
}

ChangeList::ChangeList(CheckList& lines, ProgressView& view, const RunFlags& flags)
    : lines_(lines), view_(view), flags_(flags) {}

bool ChangeList::AddChange(std::uint32_t kind, std::uint8_t subType, const std::string& location,
                           const std::string& oldText, const std::string& newText) {
  if (lines_.IsEnabled()) view_.SetCursor(Cursor::kAppStarting);

  const std::uint64_t key = DuplicateKey(kind, subType, location, oldText, newText);
  const auto [first, last] = index_.equal_range(key);
  for (auto it = first; it != last; ++it) {
    const ChangeRec& listed = records_[it->second];
    if (listed.kind == kind && listed.subType == subType &&
        EqualsIgnoreCase(listed.location, location) && EqualsIgnoreCase(listed.oldText, oldText) &&
        EqualsIgnoreCase(listed.newText, newText))
      return false;
  }

  records_.push_back(ChangeRec{kind, subType, location, oldText, newText});
  index_.emplace(key, records_.size() - 1);

  const bool ticked = kind != changekind::kShortcutFile || flags_.shortcutsTicked;
  lines_.AppendLine(LineText(kind, location), ticked);

  if (flags_.stealthMode)
    view_.SetStatus(StatusLine::kSplash4, "Updates: " + std::to_string(lines_.LineCount()));
  return true;
}

}  // namespace zeb
