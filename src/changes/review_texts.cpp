#include "changes/review_texts.h"

#include <array>

namespace zeb {

namespace {

struct RowCaptions {
  std::uint8_t subType;
  bool iniEntry;  // only told apart for the two variable subtypes
  const char* operation;
  const char* subject;
  const char* oldText;
  const char* newText;
};

// "Registy" and the missing colon after "New Directory" are the texts users know.
constexpr std::array<RowCaptions, 8> kRows = {{
    {kRenameHive, false, "Rename Registy Hive", "Old:", "New:", ""},
    {kChangeVariableName, true, "Change variable name", "File Name:", "[section]Variable:",
     "New Name:"},
    {kChangeVariableName, false, "Change variable name", "Hive Name:", "Variable:", "New Name:"},
    {kChangeVariableContents, true, "Change variable contents", "File Name:",
     "[Section]Variable:", "New contents:"},
    {kChangeVariableContents, false, "Change variable contents", "Hive Name:", "Variable:",
     "New contents:"},
    {kChangeShortcutPath, false, "Change shortcut path", "File Name:", "Old Path:", "New Path:"},
    {kChangeShortcutDirectory, false, "Change shortcut directory", "File Name:",
     "Current Directory:", "New Directory"},
    {kChangeShortcutArguments, false, "Change shortcut arguments", "File Name:", "Arguments:",
     "New Args:"},
}};

bool HasIniAndRegistryRows(std::uint8_t subType) {
  return subType == kChangeVariableName || subType == kChangeVariableContents;
}

const RowCaptions* FindRow(const ChangeRec& change) {
  const bool iniEntry =
      HasIniAndRegistryRows(change.subType) && change.kind == changekind::kIniEntry;
  for (const RowCaptions& row : kRows)
    if (row.subType == change.subType && row.iniEntry == iniEntry) return &row;
  return nullptr;
}

const char* ElementCaption(std::uint32_t kind) {
  switch (kind) {
    case changekind::kIniEntry: return "*.INI file entry";
    case changekind::kShortcutFile: return "Shortcut file properties";
    default: return "Registry Entry";
  }
}

}  // namespace

ReviewTexts ReviewTextsFor(const ChangeRec& change) {
  ReviewTexts texts;
  texts.element = ElementCaption(change.kind);
  if (const RowCaptions* row = FindRow(change)) {
    texts.operation = row->operation;
    texts.subjectCaption = row->subject;
    texts.oldCaption = row->oldText;
    texts.newCaption = row->newText;
  }
  texts.subject = change.location;
  texts.oldName = change.oldText;
  texts.newName = change.newText;
  return texts;
}

}  // namespace zeb
