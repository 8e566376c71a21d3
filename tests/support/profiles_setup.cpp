#include "support/profiles_setup.h"

#include <cstdio>

namespace zeb::testing {

const char kCarolLeftOut[] =
    "Profile S-1-5-21-1-1-1-1002 left out: its hive C:\\Users\\carol\\NTUSER.DAT cannot be "
    "loaded (the file is missing)";
const char kDaveLeftOut[] =
    "Profile S-1-5-21-1-1-1-1003 left out: its hive C:\\Users\\dave\\NTUSER.DAT cannot be "
    "loaded (the file is in use)";

namespace {

const std::string kExplorer = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";

// A REG_EXPAND_SZ line of REGEDIT4 text: hex(2) with the text's bytes and its zero.
std::string ExpandLine(const std::string& name, const std::string& text) {
  std::string line = "\"" + name + "\"=hex(2):";
  for (const char c : text) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02x,", static_cast<unsigned char>(c));
    line += byte;
  }
  return line + "00\n";
}

std::string BobsFolders(const std::string& root) {
  return "[" + root + kExplorer + "\\Shell Folders]\n"
         "\"Desktop\"=\"C:\\\\Users\\\\Bob\\\\Desktop\"\n"
         "\"Start Menu\"=\"C:\\\\Users\\\\Bob\\\\Start Menu\"\n\n";
}

std::string Profile(const std::string& sid, const std::string& pathLine) {
  return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\" +
         sid + "]\n" + pathLine + "\n";
}

}  // namespace

void SeedProfiles(MemoryRegistry& registry, MemoryFileSystem& files, MemorySystem& system,
                  const std::string& extraAliceHive) {
  system.environment["SystemDrive"] = "C:";
  system.environment["ProgramData"] = "C:\\ProgramData";
  // The current user's own variable, which must not name alice's folders.
  system.environment["USERPROFILE"] = "C:\\Users\\Bob";
  registry.ImportRegText(
      "REGEDIT4\n\n" + BobsFolders("HKEY_CURRENT_USER") +
      BobsFolders(std::string("HKEY_USERS\\") + kBobSid) +
      Profile(kBobSid, "\"ProfileImagePath\"=\"C:\\\\Users\\\\Bob\"") +
      Profile(kAliceSid, ExpandLine("ProfileImagePath", "%SystemDrive%\\Users\\alice")) +
      Profile(kCarolSid, "\"ProfileImagePath\"=\"C:\\\\Users\\\\carol\"") +
      Profile(kDaveSid, "\"ProfileImagePath\"=\"C:\\\\Users\\\\dave\"") +
      "[HKEY_LOCAL_MACHINE" + kExplorer + "\\Shell Folders]\n"
      "\"Common Desktop\"=\"C:\\\\Users\\\\Public\\\\Desktop\"\n\n"
      "[HKEY_LOCAL_MACHINE" + kExplorer + "\\User Shell Folders]\n" +
      ExpandLine("Common Start Menu", "%ProgramData%\\Microsoft\\Windows\\Start Menu") + "\n");

  files.WriteFile(kAliceHive,
                  "REGEDIT4\n\n[HKEY_CURRENT_USER" + kExplorer + "\\Shell Folders]\n"
                  "\"Desktop\"=\"C:\\\\Users\\\\alice\\\\Desktop\"\n\n"
                  "[HKEY_CURRENT_USER" + kExplorer + "\\User Shell Folders]\n" +
                      ExpandLine("Start Menu", "%USERPROFILE%\\Start Menu") + "\n" +
                      extraAliceHive);
  files.MakeFolder("C:\\Users\\carol\\Desktop");
  files.WriteFile(kDaveHive, "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n");
  files.FailReads(kDaveHive);
}

}  // namespace zeb::testing
