#pragma once
#include <string>

#include "scan/scan_context.h"

namespace zeb {

// Depth-first, pre-order walk of a Registry tree: value names, text data and key paths.
void SearchRegistryTree(ScanContext& context, RegKey rootKey, const std::string& keyPath);

}  // namespace zeb
