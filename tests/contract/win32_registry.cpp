#include "contract/backend.h"
#include "platform/win32/win32_registry.h"

namespace zeb::contract {

RegistryApi& Registry() {
  static Win32Registry registry;
  return registry;
}

}  // namespace zeb::contract
