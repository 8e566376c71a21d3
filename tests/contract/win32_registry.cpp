#include "contract/backend.h"
#include "platform/win32/win32_hives.h"
#include "platform/win32/win32_registry.h"

namespace zeb::contract {

RegistryApi& Registry() {
  static Win32Registry registry;
  return registry;
}

HiveApi& Hives() {
  static Win32Hives hives;
  return hives;
}

}  // namespace zeb::contract
