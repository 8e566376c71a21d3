#pragma once
// The memory backend's pieces, shared by its seams' accessors.
#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_registry.h"

namespace zeb::contract {

MemoryFileSystem& FileSystem();
MemoryRegistry& MemoryRegistryBackend();

}  // namespace zeb::contract
