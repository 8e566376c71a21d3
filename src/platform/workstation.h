#pragma once
// The platform seams bundled: what a scanner or Save reaches the workstation through.
#include "platform/file_bytes_api.h"
#include "platform/file_finder.h"
#include "platform/profile_api.h"
#include "platform/registry_api.h"
#include "platform/shell_link_api.h"
#include "platform/system_api.h"

namespace zeb {

struct Workstation {
  RegistryApi& registry;
  ProfileApi& profiles;
  FileFinder& files;
  ShellLinkFactory& shellLinks;
  SystemApi& system;
  FileBytesApi& fileBytes;  // whole files, for what must be kept or put back byte for byte
};

}  // namespace zeb
