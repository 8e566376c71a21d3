#pragma once
// The text of a .reg file (REGEDIT4 or "Windows Registry Editor Version 5.00") as the list of
// edits it describes, for seeding the memory Registry the way regedit seeds a Wine prefix.
#include <string>
#include <vector>

#include "platform/registry_api.h"

namespace zeb {

struct RegTextEdit {
  enum class Action { kCreateKey, kDeleteKey, kSetValue, kDeleteValue };
  Action action = Action::kCreateKey;
  RegKey root = 0;
  std::string path;  // below the root, no leading backslash; empty for the root itself
  RegValue value;    // kSetValue: the value; kDeleteValue: its name
};

// Raises std::runtime_error naming the line number of the first malformed line.
std::vector<RegTextEdit> ParseRegText(const std::string& text);

// One key of a subtree with its values, for writing it out.
struct RegTextKey {
  std::string path;  // below the root, no leading backslash; empty for the root itself
  std::vector<RegValue> values;
};

// REGEDIT4 text that ParseRegText reads back as the same keys and values: every value as
// hex(type) bytes, so that no type or byte is lost. Names that hold a line break do not
// survive (a .reg line cannot hold one).
std::string FormatRegText(RegKey root, const std::vector<RegTextKey>& keys);

}  // namespace zeb
