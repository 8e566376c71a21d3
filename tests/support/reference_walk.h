#pragma once
// The file scanners' folder walks as they were first written, kept as the reference the walks
// of one listing per folder are held to: a "*.INI" (or "*.LNK") search with the every-file
// mask, then a "*.*" search with the folders mask whose every entry, plain files included, is
// entered in turn; pending messages at every folder and entry.
#include <string>

#include "scan/scan_context.h"

namespace zeb::testing {

void ReferenceScanIniFiles(ScanContext& context, const std::string& folder);
void ReferenceShortcutScan(ScanContext& context, const std::string& areaText,
                           const std::string& folder);

}  // namespace zeb::testing
