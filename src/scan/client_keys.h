#pragma once
#include <string>

#include "scan/scan_context.h"

namespace zeb {

// The directory client's fixed keys under HKEY_LOCAL_MACHINE, in the order they are scanned.
extern const char* const kClientKeys[6];

void ScanClientKey(ScanContext& context, RegKey rootKey, const std::string& keyPath);
void ScanLoginDefaults(ScanContext& context);

}  // namespace zeb
