#include "directory/directory_factory.h"

#include "directory/ldap_directory.h"
#include "directory/ldap_url.h"
#include "directory/ldif_directory.h"

namespace zeb {

std::unique_ptr<DirectoryClient> MakeDirectoryClient(const DirectoryConfig& config,
                                                     const ServerSwitches& switches,
                                                     SystemApi& system, LdapApi& ldap) {
  if (!IsLdapUrl(config.directoryPath)) return std::make_unique<LdifDirectory>(config);
  const std::string password =
      switches.bindDn.empty() ? std::string()
                              : system.EnvironmentVariable(kBindPasswordVariable).value_or("");
  return std::make_unique<LdapDirectory>(config, switches, password, ldap);
}

}  // namespace zeb
