#include "contract/backend.h"
#include "contract/memory_backend.h"
#include "platform/memory/memory_hives.h"
#include "platform/memory/memory_registry.h"

namespace zeb::contract {

MemoryRegistry& MemoryRegistryBackend() {
  static MemoryRegistry registry;
  return registry;
}

RegistryApi& Registry() { return MemoryRegistryBackend(); }

HiveApi& Hives() {
  static MemoryHives hives(MemoryRegistryBackend(), FileSystem());
  return hives;
}

}  // namespace zeb::contract
