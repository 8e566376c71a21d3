#pragma once
#include <string>

#include "scan/scan_context.h"

namespace zeb {

// The shortcut files of a folder tree: the folder's own first, then each subfolder.
void ShortcutScan(ScanContext& context, const std::string& areaText, const std::string& folder);
void ScanShortcutFolder(ScanContext& context, const std::string& folder);
// One shortcut file: shown on the status line, loaded, its fields tested.
void ScanShortcutFile(ScanContext& context, const std::string& filePath);

}  // namespace zeb
