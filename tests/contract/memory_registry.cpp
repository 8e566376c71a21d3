#include "contract/backend.h"
#include "platform/memory/memory_registry.h"

namespace zeb::contract {

RegistryApi& Registry() {
  static MemoryRegistry registry;
  return registry;
}

}  // namespace zeb::contract
