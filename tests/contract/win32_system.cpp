#include "contract/backend.h"
#include "platform/win32/win32_system.h"

namespace zeb::contract {

const char* BackendName() { return "win32"; }

SystemApi& System() {
  static Win32System system;
  return system;
}

}  // namespace zeb::contract
