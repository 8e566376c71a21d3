#include "contract/backend.h"
#include "platform/memory/memory_system.h"

namespace zeb::contract {

const char* BackendName() { return "memory"; }

SystemApi& System() {
  static MemorySystem system;
  return system;
}

}  // namespace zeb::contract
