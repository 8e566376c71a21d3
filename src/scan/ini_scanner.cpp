#include "scan/ini_scanner.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/ini.h"
#include "platform/text.h"
#include "scan/folder_walk.h"
#include "scan/message_taker.h"

namespace zeb {
namespace {

// How much of a value is examined for the target.
constexpr std::size_t kExaminedValueLength = 255;
// A value this long filled the read buffer: what is stored may be longer than what we read,
// and a value built from it would cut the stored one short.
constexpr std::size_t kLongestWholeValue = IniFiles::kValueBuffer - 1;

struct Variable {
  std::string name;
  std::string value;
};

// The section's variables with a value, one per name (names differing in case are one).
// Names come from the key list, not from "name=value" lines, so a value holding "=" stays
// whole.
std::vector<Variable> ReadVariables(IniFiles& ini, const std::string& path,
                                    const std::string& section) {
  std::vector<Variable> variables;
  std::unordered_set<std::string> seen;  // upper-cased: a section may hold thousands of names
  for (const std::string& name : ini.ReadKeys(path, section)) {
    if (!seen.insert(UpperAscii(name)).second) continue;
    std::string value = ini.ReadString(path, section, name);
    if (!value.empty()) variables.push_back({name, std::move(value)});
  }
  return variables;
}

// The new form of `text` in the current mode: the search text replaced once, or a tree path
// that names an Alias rewritten to the aliased object's tree path.
bool NewTextFor(ScanContext& context, std::string_view text, std::string* newText) {
  if (context.SearchAndReplace())
    return ReplaceFirstIgnoreCase(text, context.search, context.replace, newText);

  const std::string& tree = context.names.TreeName();
  if (FindIgnoreCase(text, tree) == kNotFound) return false;
  const std::string fullName = UncToFullName(text);
  if (fullName.empty()) return false;
  std::string target;
  if (!context.names.ResolveAlias(fullName, &target)) return false;
  *newText = "\\\\" + tree + "\\" + FullNameToDotted(target);
  return true;
}

// Only the first bytes of a value are examined; whatever lies beyond them is kept, so that
// writing the proposal back never loses part of the stored value. A tree path is a name as a
// whole: a new name for its first bytes says nothing of a longer value.
bool NewValueFor(ScanContext& context, const std::string& value, std::string* newValue) {
  if (value.size() >= kLongestWholeValue) return false;
  if (!context.SearchAndReplace() && value.size() > kExaminedValueLength) return false;
  const std::string examined = Cut(value, kExaminedValueLength);
  std::string newExamined;
  if (!NewTextFor(context, examined, &newExamined)) return false;
  *newValue = newExamined + value.substr(examined.size());
  return true;
}

void ExamineVariable(ScanContext& context, const std::string& path, const std::string& section,
                     const Variable& variable) {
  const std::string oldText = "[" + section + "]" + variable.name;
  std::string newText;
  if (NewTextFor(context, variable.name, &newText))
    context.changes.AddChange(changekind::kIniEntry, kChangeVariableName, path, oldText, newText);
  if (NewValueFor(context, variable.value, &newText))
    context.changes.AddChange(changekind::kIniEntry, kChangeVariableContents, path, oldText,
                              newText);
}

void ShowStatus(ScanContext& context, StatusLine line, const std::string& text) {
  if (!context.flags.stealthMode) context.view.SetStatus(line, text);
}

void ScanFiles(ScanContext& context, const std::vector<std::string>& paths,
               MessageTaker& messages);

void ScanTree(ScanContext& context, const std::string& folder, MessageTaker& messages) {
  messages.Take();
  const FolderContents contents = ListFolder(context.workstation.files, folder, "*.INI");
  ScanFiles(context, contents.files, messages);
  for (const std::string& subfolder : contents.subfolders) ScanTree(context, subfolder, messages);
}

void ScanFile(ScanContext& context, const std::string& path, MessageTaker& messages) {
  ShowStatus(context, StatusLine::kMain1, path);
  IniFiles ini(context.workstation.profiles);
  for (const std::string& section : ini.ReadSections(path)) {
    ShowStatus(context, StatusLine::kMain2, "[" + section + "]");
    for (const Variable& variable : ReadVariables(ini, path, section)) {
      messages.Take();
      ShowStatus(context, StatusLine::kMain4, variable.name);
      ExamineVariable(context, path, section, variable);
    }
    context.view.RepaintList();
  }
  // Cleared even in stealth mode, where nothing was shown on them.
  context.view.SetStatus(StatusLine::kMain2, "");
  context.view.SetStatus(StatusLine::kMain4, "");
}

void ScanFiles(ScanContext& context, const std::vector<std::string>& paths,
               MessageTaker& messages) {
  for (const std::string& path : paths) ScanFile(context, path, messages);
}

}  // namespace

void ScanIniFiles(ScanContext& context, const std::string& folder) {
  MessageTaker messages(context.view);
  ScanTree(context, folder, messages);
}

void ScanIniFolder(ScanContext& context, const std::string& folder) {
  MessageTaker messages(context.view);
  ScanFiles(context, ListFolder(context.workstation.files, folder, "*.INI").files, messages);
}

void ScanIniFile(ScanContext& context, const std::string& path) {
  MessageTaker messages(context.view);
  ScanFile(context, path, messages);
}

}  // namespace zeb
