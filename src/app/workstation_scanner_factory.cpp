#include "app/workstation_scanner_factory.h"

#include "scan/workstation_scanners.h"

namespace zeb {

std::unique_ptr<Scanners> WorkstationScannerFactory::Create(ScanContext& context) {
  return std::make_unique<WorkstationScanners>(context);
}

}  // namespace zeb
