#pragma once
// The directory client /DIRECTORY= asks for: a server (ldap://, ldaps://) or an LDIF file.
#include <memory>

#include "directory/directory_client.h"
#include "directory/directory_config.h"
#include "directory/ldap_api.h"
#include "platform/system_api.h"

namespace zeb {

// A server's bind password comes from the environment (ZEB_BIND_PASSWORD), never from the
// command line, which every user of the machine can read.
std::unique_ptr<DirectoryClient> MakeDirectoryClient(const DirectoryConfig& config,
                                                     const ServerSwitches& switches,
                                                     SystemApi& system, LdapApi& ldap);

}  // namespace zeb
