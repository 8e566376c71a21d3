#include "support/reference_walk.h"

#include <vector>

#include "platform/file_finder.h"
#include "scan/ini_scanner.h"
#include "scan/shortcut_scanner.h"

namespace zeb::testing {
namespace {

std::vector<std::string> EntriesToEnter(FileFinder& finder, const std::string& folder) {
  std::vector<std::string> paths;
  for (const FileEntry& entry : FindMatching(finder, folder + "\\*.*", fileattr::kFoldersMask))
    if (!entry.name.empty() && entry.name[0] != '.') paths.push_back(folder + "\\" + entry.name);
  return paths;
}

std::vector<std::string> FilesIn(FileFinder& finder, const std::string& folder,
                                 const std::string& pattern) {
  std::vector<std::string> paths;
  for (const FileEntry& entry :
       FindMatching(finder, folder + "\\" + pattern, fileattr::kAllFilesMask))
    paths.push_back(folder + "\\" + entry.name);
  return paths;
}

}  // namespace

void ReferenceScanIniFiles(ScanContext& context, const std::string& folder) {
  context.view.ProcessMessages();
  for (const std::string& file : FilesIn(context.workstation.files, folder, "*.INI"))
    ScanIniFile(context, file);
  for (const std::string& entry : EntriesToEnter(context.workstation.files, folder))
    ReferenceScanIniFiles(context, entry);
}

void ReferenceShortcutScan(ScanContext& context, const std::string& areaText,
                           const std::string& folder) {
  context.view.ProcessMessages();
  if (context.flags.stealthMode)
    context.view.SetStatus(StatusLine::kSplash3, "Searching Shortcut Files from " + areaText);
  else
    context.view.SetStatus(StatusLine::kMain3, areaText);
  context.view.ProcessMessages();
  for (const std::string& file : FilesIn(context.workstation.files, folder, "*.LNK"))
    ScanShortcutFile(context, file);
  for (const std::string& entry : EntriesToEnter(context.workstation.files, folder))
    ReferenceShortcutScan(context, areaText, entry);
}

}  // namespace zeb::testing
