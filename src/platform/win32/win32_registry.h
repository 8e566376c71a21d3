#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry_api.h"

namespace zeb {

// The advapi32 A functions, one call each. Keeps its enumeration buffers between calls, so a
// walk grows them once instead of once per value.
class Win32Registry : public RegistryApi {
 public:
  long OpenKey(RegKey parent, const std::string& subKey, KeyAccess access, RegKey* out) override;
  long CreateKey(RegKey parent, const std::string& subKey, RegKey* out) override;
  long CloseKey(RegKey key) override;
  long QueryInfoKey(RegKey key, KeyInfo* info) override;
  long EnumKey(RegKey key, std::uint32_t index, std::string* name) override;
  long EnumValue(RegKey key, std::uint32_t index, bool wantData, RegValue* value) override;
  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                  std::vector<std::uint8_t>* data) override;
  long SetValue(RegKey key, const std::string& name, std::uint32_t type,
                const std::vector<std::uint8_t>& data) override;
  long DeleteValue(RegKey key, const std::string& name) override;
  long DeleteKey(RegKey parent, const std::string& subKey) override;
  long RestrictToAdministrators(RegKey key) override;

 private:
  long EnumValueOnce(RegKey key, std::uint32_t index, bool wantData, RegValue* value);
  void GrowFor(RegKey key);

  std::vector<char> name_ = std::vector<char>(256);
  std::vector<std::uint8_t> data_ = std::vector<std::uint8_t>(4096);
};

}  // namespace zeb
