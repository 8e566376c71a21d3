#pragma once
#include <string>

#include "scan/scan_context.h"

namespace zeb {

// Every *.INI file of the folder tree (hidden and system folders are not entered).
void ScanIniFiles(ScanContext& context, const std::string& folder);
void ScanIniFolder(ScanContext& context, const std::string& folder);
void ScanIniFile(ScanContext& context, const std::string& path);

}  // namespace zeb
