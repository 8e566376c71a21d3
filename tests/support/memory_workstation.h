#pragma once
// Every seam of the memory backend over one file system: the workstation Save's tests write
// to and read back.
#include "platform/memory/memory_file_bytes.h"
#include "platform/memory/memory_file_finder.h"
#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_profiles.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/memory_shell_links.h"
#include "platform/memory/memory_system.h"

namespace zeb::testing {

struct MemoryWorkstation {
  MemoryRegistry registry;
  MemoryFileSystem files;
  MemoryProfiles profiles{files};
  MemoryFileFinder finder{files};
  MemoryShellLinkFactory shellLinks{files};
  MemorySystem facts;
  MemoryFileBytes fileBytes{files};
};

}  // namespace zeb::testing
