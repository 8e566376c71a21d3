#pragma once
// The real platform in one piece: each seam's Win32 backend, bundled as a Workstation.
#include "platform/win32/win32_file_bytes.h"
#include "platform/win32/win32_file_finder.h"
#include "platform/win32/win32_hives.h"
#include "platform/win32/win32_profiles.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell_links.h"
#include "platform/win32/win32_system.h"
#include "platform/workstation.h"

namespace zeb {

struct Win32Workstation {
  Win32Registry registry;
  Win32Profiles profiles;
  Win32FileFinder files;
  Win32ShellLinkFactory shellLinks;
  Win32System system;
  Win32FileBytes fileBytes;
  // Loaded and unloaded by the run itself ("/ALLUSERS"), not reached by scanners or Save.
  Win32Hives hives;
  // Declared last, so that it refers to members already made.
  Workstation seams{registry, profiles, files, shellLinks, system, fileBytes};
};

}  // namespace zeb
