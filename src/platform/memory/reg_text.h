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

}  // namespace zeb
