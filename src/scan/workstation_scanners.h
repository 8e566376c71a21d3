#pragma once
// The scanners behind the scan run's seam.
#include "scan/scan_context.h"
#include "scan/scanners.h"

namespace zeb {

class WorkstationScanners : public Scanners {
 public:
  explicit WorkstationScanners(ScanContext& context) : context_(context) {}
  void ShortcutScan(const std::string& areaText, const std::string& folder) override;
  void ScanIniFiles(const std::string& windowsDirectory) override;
  void ScanClientKeys() override;
  void SearchRegistryTree(RegKey rootKey, const std::string& keyPath) override;

 private:
  ScanContext& context_;
};

}  // namespace zeb
