#include "scan/shortcut_scanner.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "scan/folder_walk.h"
#include "scan/message_taker.h"

namespace zeb {
namespace {

struct ShortcutFields {
  std::string targetPath;
  std::string workingDirectory;
  std::string arguments;
};

// One field of the shortcut loaded last. A getter that fails may have left anything in its
// buffer, so its field counts as empty rather than as whatever it wrote.
std::string ReadField(ShellLink& link, bool (ShellLink::*getter)(std::string*)) {
  std::string value;
  if (!(link.*getter)(&value)) return {};
  return Cut(value, ShellLink::kFieldBuffer - 1);
}

ShortcutFields ReadFields(ShellLink& link) {
  ShortcutFields fields;
  fields.targetPath = ReadField(link, &ShellLink::GetPath);
  fields.workingDirectory = ReadField(link, &ShellLink::GetWorkingDirectory);
  fields.arguments = ReadField(link, &ShellLink::GetArguments);
  return fields;
}

void ProposeReplacement(ScanContext& context, const std::string& filePath, SubType subType,
                        const std::string& field) {
  std::string newText;
  if (ReplaceFirstIgnoreCase(field, context.search, context.replace, &newText))
    context.changes.AddChange(changekind::kShortcutFile, subType, filePath, field, newText);
}

void SearchAndReplaceTest(ScanContext& context, const std::string& filePath,
                          const ShortcutFields& fields) {
  ProposeReplacement(context, filePath, kChangeShortcutDirectory, fields.workingDirectory);
  ProposeReplacement(context, filePath, kChangeShortcutArguments, fields.arguments);
  ProposeReplacement(context, filePath, kChangeShortcutPath, fields.targetPath);
}

// Windows NT resolves UNC paths through the directory's own names ("VRX:\\TREE\O\OU\CN"), so
// the longest leading part of the path that is a directory entry is the object to test.
bool DereferenceNtField(ScanContext& context, const std::string& field, std::string* newText) {
  NameSplit split;
  std::string target;
  if (!context.names.ResolveObjectPrefix("VRX:" + field, {}, &split, &target)) return false;
  constexpr std::size_t kPrefixLength = 4;  // "VRX:"; the UNC path keeps the "\\" after it
  const std::string_view withoutPrefix =
      std::string_view(target).substr(std::min(target.size(), kPrefixLength));
  *newText = Cut(withoutPrefix, kNameLimit) + split.rest;
  return true;
}

// Other platforms write the object as a tree path ("\\TREE\.CN.OU.O\dir").
bool DereferenceTreePathField(ScanContext& context, const std::string& field,
                              std::string* newText) {
  const NameSplit split = context.names.SplitAtTree(field);
  const std::string fullName = UncToFullName(split.objectPart);
  if (fullName.empty()) return false;
  std::string target;
  if (!context.names.ResolveAlias(fullName, &target)) return false;
  *newText = FullNameToUnc(target) + split.rest;
  return true;
}

void AliasTest(ScanContext& context, const std::string& filePath, const ShortcutFields& fields) {
  // Only a target through our own tree can hold an alias; the working directory of a
  // shortcut with a local or foreign target is left alone.
  if (!StartsWithIgnoreCase(fields.targetPath, "\\\\" + context.names.TreeName())) return;
  const bool nt = context.IsWindowsNt();
  const struct {
    SubType subType;
    const std::string& field;
  } candidates[] = {{kChangeShortcutPath, fields.targetPath},
                    {kChangeShortcutDirectory, fields.workingDirectory}};
  for (const auto& candidate : candidates) {
    std::string newText;
    const bool found = nt ? DereferenceNtField(context, candidate.field, &newText)
                          : DereferenceTreePathField(context, candidate.field, &newText);
    if (found)
      context.changes.AddChange(changekind::kShortcutFile, candidate.subType, filePath,
                                candidate.field, newText);
  }
}

// The folder's shortcuts, then each subfolder's tree, from one listing of the folder.
void ScanTree(ScanContext& context, const std::string& areaText, const std::string& folder,
              MessageTaker& messages) {
  messages.Take();
  if (context.flags.stealthMode)
    context.view.SetStatus(StatusLine::kSplash3, "Searching Shortcut Files from " + areaText);
  else
    context.view.SetStatus(StatusLine::kMain3, areaText);

  const FolderContents contents = ListFolder(context.workstation.files, folder, "*.LNK");
  for (const std::string& filePath : contents.files) ScanShortcutFile(context, filePath);
  for (const std::string& subfolder : contents.subfolders)
    ScanTree(context, areaText, subfolder, messages);
}

}  // namespace

void ShortcutScan(ScanContext& context, const std::string& areaText, const std::string& folder) {
  MessageTaker messages(context.view);
  ScanTree(context, areaText, folder, messages);
}

void ScanShortcutFolder(ScanContext& context, const std::string& folder) {
  for (const std::string& filePath : ListFolder(context.workstation.files, folder, "*.LNK").files)
    ScanShortcutFile(context, filePath);
}

void ScanShortcutFile(ScanContext& context, const std::string& filePath) {
  if (!context.flags.stealthMode) context.view.SetStatus(StatusLine::kMain1, filePath);
  if (context.shellLink == nullptr || !context.shellLink->Load(filePath)) return;
  const ShortcutFields fields = ReadFields(*context.shellLink);
  if (context.SearchAndReplace())
    SearchAndReplaceTest(context, filePath, fields);
  else
    AliasTest(context, filePath, fields);
}

}  // namespace zeb
