#pragma once
// The scanners the scan run calls, in its order. The scan run owns the status texts between
// them; each scanner appends what it finds to the change list.
#include <string>

#include "platform/registry_api.h"

namespace zeb {

class Scanners {
 public:
  virtual ~Scanners() = default;
  virtual void ShortcutScan(const std::string& areaText, const std::string& folder) = 0;
  virtual void ScanIniFiles(const std::string& windowsDirectory) = 0;
  // The six fixed directory-client keys, in order, then the login defaults.
  virtual void ScanClientKeys() = 0;
  virtual void SearchRegistryTree(RegKey rootKey, const std::string& keyPath) = 0;
};

}  // namespace zeb
