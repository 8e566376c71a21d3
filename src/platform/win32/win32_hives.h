#pragma once
#include "platform/hive_api.h"

namespace zeb {

// The advapi32 A functions, one call each.
class Win32Hives : public HiveApi {
 public:
  long EnablePrivileges() override;
  long SaveKey(RegKey key, const std::string& file) override;
  long LoadKey(RegKey root, const std::string& name, const std::string& file) override;
  long UnLoadKey(RegKey root, const std::string& name) override;
};

}  // namespace zeb
