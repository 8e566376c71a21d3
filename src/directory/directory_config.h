#pragma once
// Where our directory layer finds its directory, and who is logged in, read before the
// start-up runs (the start-up's own switch table ignores these switches):
//   /DIRECTORY=<LDIF file>[/<base DN>], or ldap://host[:port][/base] or ldaps://...
//   /TREE=<tree name>  /USER=<dotted name of the user>
//   /DIRTIMEOUT=<seconds>  the longest a directory server may take to connect or answer
//   /BINDDN=<DN>  bind to the server as this DN, with the password in ZEB_BIND_PASSWORD
// The base DN says under which DN the tree's root-most components sit, written after the
// file's name and a "/" as in an LDAP URL (ldap://host/dc=example,dc=com):
// /DIRECTORY=C:\ZEB\export.ldif/dc=example,dc=com. It is seen only after a name ending in
// ".ldif" and only when what follows is a DN (holds "="); without it the tree's components
// are the top of the file's DNs.
// Switch names ignore ASCII case, values keep theirs; the last of a kind wins; an empty
// value counts as not given. Without /TREE= and /USER= the login screen's defaults under
// HKEY_LOCAL_MACHINE "\SOFTWARE\Varnok\DXGINA\Login Screen" are used where present
// ("DefaultVRXTree"; "DefaultDalvexaUserName" + "." + "DefaultVRXContext"). Without
// /DIRECTORY= the file is directory.ldif in the program's folder. A /DIRTIMEOUT= that is not
// a whole number from 1 to 3600 counts as not given. The password is never a switch: the
// command line can be read by every user of the machine.
#include <string>
#include <vector>

namespace zeb {

class Registry;

struct DirectoryConfig {
  std::string directoryPath;  // as given, the base included
  std::string treeName;  // empty: the directory file's own tree name, if it has one
  std::string userName;  // dotted, e.g. Bob.Sales.Acme; empty when nobody is known
};

// How to use a directory server (when directoryPath is an ldap:// URL).
struct ServerSwitches {
  int timeoutSeconds = 5;
  std::string bindDn;  // empty: an anonymous bind
};

constexpr const char* kBindPasswordVariable = "ZEB_BIND_PASSWORD";

constexpr const char* kDefaultDirectoryFile = "directory.ldif";

// A directory file and the base DN after it ("export.ldif/dc=example,dc=com").
struct LdifLocation {
  std::string file;
  std::string base;  // empty: the tree's components are the top of the file's DNs
};
LdifLocation SplitLdifLocation(const std::string& directoryPath);

// `arguments` are the command line's arguments, already split. The login screen's values
// are read through a Registry layer of its own over `registry`'s functions, so `registry`'s
// root and current key stay as they are.
DirectoryConfig ReadDirectoryConfig(const std::vector<std::string>& arguments,
                                    Registry& registry, const std::string& programFolder);

ServerSwitches ReadServerSwitches(const std::vector<std::string>& arguments);

}  // namespace zeb
