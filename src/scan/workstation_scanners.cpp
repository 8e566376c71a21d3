#include "scan/workstation_scanners.h"

#include "scan/client_keys.h"
#include "scan/ini_scanner.h"
#include "scan/registry_search.h"
#include "scan/shortcut_scanner.h"

namespace zeb {

void WorkstationScanners::ShortcutScan(const std::string& areaText, const std::string& folder) {
  zeb::ShortcutScan(context_, areaText, folder);
}

void WorkstationScanners::ScanIniFiles(const std::string& windowsDirectory) {
  zeb::ScanIniFiles(context_, windowsDirectory);
}

void WorkstationScanners::ScanClientKeys() {
  for (const char* key : kClientKeys) ScanClientKey(context_, hkey::kLocalMachine, key);
  ScanLoginDefaults(context_);
}

void WorkstationScanners::SearchRegistryTree(RegKey rootKey, const std::string& keyPath) {
  zeb::SearchRegistryTree(context_, rootKey, keyPath);
}

}  // namespace zeb
