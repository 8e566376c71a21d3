#pragma once
// A shared workstation for "/ALLUSERS" over the memory backend: Bob logged on, alice's hive
// not loaded (Acme names in her hive, folders from her own "Shell Folders" and "User Shell
// Folders"), carol's hive file missing, dave's held open by another program, and the
// folders of every user in HKEY_LOCAL_MACHINE.
#include <string>

#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/memory_system.h"

namespace zeb::testing {

constexpr char kBobSid[] = "S-1-5-21-1-1-1-1000";
constexpr char kAliceSid[] = "S-1-5-21-1-1-1-1001";
constexpr char kCarolSid[] = "S-1-5-21-1-1-1-1002";
constexpr char kDaveSid[] = "S-1-5-21-1-1-1-1003";
constexpr char kAliceHive[] = "C:\\Users\\alice\\NTUSER.DAT";
constexpr char kCarolHive[] = "C:\\Users\\carol\\NTUSER.DAT";
constexpr char kDaveHive[] = "C:\\Users\\dave\\NTUSER.DAT";

// The report lines of the two profiles that are left out.
extern const char kCarolLeftOut[];
extern const char kDaveLeftOut[];

// Seeds the Registry (HKCU and HKU\<Bob> alike for the logged-on user), the hive files and
// the environment. `extraAliceHive` is .reg text (HKEY_CURRENT_USER standing for her hive's
// root) added to her hive.
void SeedProfiles(MemoryRegistry& registry, MemoryFileSystem& files, MemorySystem& system,
                  const std::string& extraAliceHive = "");

}  // namespace zeb::testing
