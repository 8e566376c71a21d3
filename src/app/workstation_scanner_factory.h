#pragma once
// The scanners of subsystem 4 for each scan run.
#include "app/app_services.h"

namespace zeb {

class WorkstationScannerFactory : public ScannerFactory {
 public:
  std::unique_ptr<Scanners> Create(ScanContext& context) override;
};

}  // namespace zeb
