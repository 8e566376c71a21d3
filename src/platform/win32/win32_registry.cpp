#include "platform/win32/win32_registry.h"

#include <windows.h>
#include <sddl.h>

#include <algorithm>

#include "platform/win32/hkey.h"

namespace zeb {
namespace {

// A key name is at most 256 characters; a double-byte code page may need two bytes for each.
constexpr DWORD kKeyNameBytes = 2 * 256 + 1;
constexpr int kReadAttempts = 8;
constexpr DWORD kFirstReadBytes = 1024;

// The value may grow between asking for its size and reading it: read until it fits.
LONG ReadData(HKEY key, const std::string& name, DWORD length, DWORD* type,
              std::vector<std::uint8_t>* data) {
  LONG result = ERROR_MORE_DATA;
  for (int attempt = 0; result == ERROR_MORE_DATA && attempt < kReadAttempts; ++attempt) {
    data->resize(std::max<DWORD>(length, 1));  // the call wants a buffer even for no data
    length = static_cast<DWORD>(data->size());
    result = RegQueryValueExA(key, name.c_str(), nullptr, type, data->data(), &length);
  }
  if (result == ERROR_SUCCESS) data->resize(length);
  return result;
}

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

}  // namespace

long Win32Registry::OpenKey(RegKey parent, const std::string& subKey, KeyAccess access,
                            RegKey* out) {
  const REGSAM sam = access == KeyAccess::kAll ? KEY_ALL_ACCESS : KEY_ENUMERATE_SUB_KEYS;
  HKEY key = nullptr;
  const LONG result = RegOpenKeyExA(ToHkey(parent), subKey.c_str(), 0, sam, &key);
  if (result == ERROR_SUCCESS) *out = FromHkey(key);
  return result;
}

long Win32Registry::CreateKey(RegKey parent, const std::string& subKey, RegKey* out) {
  HKEY key = nullptr;
  const LONG result =
      RegCreateKeyExA(ToHkey(parent), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (result == ERROR_SUCCESS) *out = FromHkey(key);
  return result;
}

long Win32Registry::CloseKey(RegKey key) { return RegCloseKey(ToHkey(key)); }

long Win32Registry::QueryInfoKey(RegKey key, KeyInfo* info) {
  DWORD subKeys = 0, maxSubKeyLen = 0, values = 0, maxValueNameLen = 0, maxValueLen = 0;
  const LONG result =
      RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, &subKeys, &maxSubKeyLen, nullptr,
                       &values, &maxValueNameLen, &maxValueLen, nullptr, nullptr);
  if (result == ERROR_SUCCESS)
    *info = KeyInfo{subKeys, maxSubKeyLen, values, maxValueNameLen, maxValueLen};
  return result;
}

long Win32Registry::EnumKey(RegKey key, std::uint32_t index, std::string* name) {
  char buffer[kKeyNameBytes];
  DWORD length = kKeyNameBytes;
  const LONG result =
      RegEnumKeyExA(ToHkey(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
  if (result == ERROR_SUCCESS) name->assign(buffer, length);
  return result;
}

long Win32Registry::EnumValueOnce(RegKey key, std::uint32_t index, bool wantData, RegValue* value) {
  DWORD nameLength = static_cast<DWORD>(name_.size());
  DWORD type = REG_NONE;
  DWORD dataLength = static_cast<DWORD>(data_.size());
  const LONG result =
      RegEnumValueA(ToHkey(key), index, name_.data(), &nameLength, nullptr, &type,
                    wantData ? data_.data() : nullptr, wantData ? &dataLength : nullptr);
  if (result == ERROR_MORE_DATA && wantData && dataLength > data_.size()) data_.resize(dataLength);
  if (result != ERROR_SUCCESS) return result;
  value->name.assign(name_.data(), nameLength);
  value->type = type;
  value->data.assign(data_.begin(), data_.begin() + (wantData ? dataLength : 0));
  return result;
}

// Room for the longest name and data the key reports, and at least twice what there was.
void Win32Registry::GrowFor(RegKey key) {
  KeyInfo info;
  if (QueryInfoKey(key, &info) != ERROR_SUCCESS) info = KeyInfo{};
  name_.resize(std::max<std::size_t>(2 * name_.size(), 2 * (info.maxValueNameLen + 1)));
  data_.resize(std::max<std::size_t>(data_.size(), info.maxValueLen));
}

long Win32Registry::EnumValue(RegKey key, std::uint32_t index, bool wantData, RegValue* value) {
  long result = EnumValueOnce(key, index, wantData, value);
  for (int attempt = 1; result == ERROR_MORE_DATA && attempt < kReadAttempts; ++attempt) {
    GrowFor(key);
    result = EnumValueOnce(key, index, wantData, value);
  }
  return result;
}

long Win32Registry::QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                               std::vector<std::uint8_t>* data) {
  DWORD valueType = REG_NONE;
  DWORD length = 0;
  if (!data) {
    const LONG result =
        RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &valueType, nullptr, &length);
    if (result == ERROR_SUCCESS && type) *type = valueType;
    return result;
  }
  // Most values fit a small buffer and are read in one call (each call is a round trip to the
  // Registry); a larger one answers with its size and is read at that size.
  data->resize(kFirstReadBytes);
  length = kFirstReadBytes;
  LONG result =
      RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &valueType, data->data(), &length);
  if (result == ERROR_SUCCESS)
    data->resize(length);
  else if (result == ERROR_MORE_DATA)
    result = ReadData(ToHkey(key), name, length, &valueType, data);
  if (result != ERROR_SUCCESS) data->clear();
  if (result == ERROR_SUCCESS && type) *type = valueType;
  return result;
}

long Win32Registry::SetValue(RegKey key, const std::string& name, std::uint32_t type,
                             const std::vector<std::uint8_t>& data) {
  // RegSetValueExA looks one byte past a text whose count leaves out the terminating zero.
  std::vector<std::uint8_t> bytes(data);
  if (IsText(type)) bytes.push_back(0);
  return RegSetValueExA(ToHkey(key), name.c_str(), 0, type, bytes.data(),
                        static_cast<DWORD>(data.size()));
}

long Win32Registry::DeleteValue(RegKey key, const std::string& name) {
  return RegDeleteValueA(ToHkey(key), name.c_str());
}

long Win32Registry::DeleteKey(RegKey parent, const std::string& subKey) {
  return RegDeleteKeyA(ToHkey(parent), subKey.c_str());
}

namespace {

// Owns a security descriptor made by the SDDL conversion.
class LocalSecurityDescriptor {
 public:
  ~LocalSecurityDescriptor() {
    if (descriptor_) LocalFree(descriptor_);
  }
  PSECURITY_DESCRIPTOR* out() { return &descriptor_; }
  PSECURITY_DESCRIPTOR get() const { return descriptor_; }

 private:
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
};

}  // namespace

long Win32Registry::RestrictToAdministrators(RegKey key) {
  // Full access for the Administrators group and SYSTEM, inherited by subkeys; no one else,
  // and nothing inherited from the parent.
  LocalSecurityDescriptor descriptor;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(
          "D:P(A;OICI;KA;;;BA)(A;OICI;KA;;;SY)", SDDL_REVISION_1, descriptor.out(), nullptr))
    return static_cast<long>(GetLastError());
  return RegSetKeySecurity(ToHkey(key), DACL_SECURITY_INFORMATION, descriptor.get());
}

}  // namespace zeb
