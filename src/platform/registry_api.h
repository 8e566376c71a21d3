#pragma once
// The advapi32 Registry calls the program uses, one virtual per call, with Win32 result codes.
// Backends: win32/ (the real functions) and memory/ (tests).
#include <cstdint>
#include <string>
#include <vector>

namespace zeb {

// A key handle as the Win32 API gives it; the predefined root keys have their fixed values.
using RegKey = std::uintptr_t;

namespace hkey {
constexpr RegKey kClassesRoot = 0x80000000u;
constexpr RegKey kCurrentUser = 0x80000001u;
constexpr RegKey kLocalMachine = 0x80000002u;
constexpr RegKey kUsers = 0x80000003u;
constexpr RegKey kCurrentConfig = 0x80000005u;
constexpr RegKey kDynData = 0x80000006u;
}  // namespace hkey

namespace regtype {
constexpr std::uint32_t kNone = 0;
constexpr std::uint32_t kString = 1;        // REG_SZ
constexpr std::uint32_t kExpandString = 2;  // REG_EXPAND_SZ
constexpr std::uint32_t kBinary = 3;        // REG_BINARY
constexpr std::uint32_t kDword = 4;         // REG_DWORD
constexpr std::uint32_t kMultiString = 7;   // REG_MULTI_SZ
}  // namespace regtype

// Win32 result codes the program looks at.
namespace winerr {
constexpr long kSuccess = 0;
constexpr long kFileNotFound = 2;
constexpr long kAccessDenied = 5;
constexpr long kInvalidHandle = 6;
constexpr long kInvalidParameter = 87;
constexpr long kMoreData = 234;
constexpr long kNoMoreItems = 259;
}  // namespace winerr

enum class KeyAccess { kAll, kEnumerateSubKeys };

struct KeyInfo {
  std::uint32_t subKeys = 0;
  std::uint32_t maxSubKeyLen = 0;
  std::uint32_t values = 0;
  std::uint32_t maxValueNameLen = 0;
  std::uint32_t maxValueLen = 0;
};

struct RegValue {
  std::string name;
  std::uint32_t type = regtype::kNone;
  std::vector<std::uint8_t> data;  // raw bytes; strings include their terminating zero
};

class RegistryApi {
 public:
  virtual ~RegistryApi() = default;
  // RegOpenKeyExA. An empty subKey opens a new handle to `parent` itself.
  virtual long OpenKey(RegKey parent, const std::string& subKey, KeyAccess access, RegKey* out) = 0;
  // RegCreateKeyExA with full access; creates every missing key along the path.
  virtual long CreateKey(RegKey parent, const std::string& subKey, RegKey* out) = 0;
  virtual long CloseKey(RegKey key) = 0;
  virtual long QueryInfoKey(RegKey key, KeyInfo* info) = 0;
  virtual long EnumKey(RegKey key, std::uint32_t index, std::string* name) = 0;
  // RegEnumValueA: name, type and (when wantData) the whole data in one call; the backend
  // grows its buffers to whatever the value holds.
  virtual long EnumValue(RegKey key, std::uint32_t index, bool wantData, RegValue* value) = 0;
  // RegQueryValueExA; a null `data` asks for the type only.
  virtual long QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                          std::vector<std::uint8_t>* data) = 0;
  virtual long SetValue(RegKey key, const std::string& name, std::uint32_t type,
                        const std::vector<std::uint8_t>& data) = 0;
  virtual long DeleteValue(RegKey key, const std::string& name) = 0;
  // RegDeleteKeyA: only a key without subkeys can be deleted.
  virtual long DeleteKey(RegKey parent, const std::string& subKey) = 0;
  // RegSetKeySecurity: only administrators and the system may open the key (it holds a
  // secret). A backend without access control has nothing to do.
  virtual long RestrictToAdministrators(RegKey /*key*/) { return winerr::kSuccess; }
};

}  // namespace zeb
