#include "platform/win32/win32_profiles.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace zeb {
namespace {

const char* OrNull(const std::optional<std::string>& text) { return text ? text->c_str() : nullptr; }

}  // namespace

std::string Win32Profiles::GetString(const std::optional<std::string>& section,
                                     const std::optional<std::string>& key,
                                     const std::string& defaultValue, std::size_t bufferSize,
                                     const std::string& file) {
  if (bufferSize == 0) return {};
  std::vector<char> buffer(bufferSize);
  const DWORD length = GetPrivateProfileStringA(OrNull(section), OrNull(key), defaultValue.c_str(),
                                                buffer.data(), static_cast<DWORD>(bufferSize),
                                                file.c_str());
  return std::string(buffer.data(), std::min<std::size_t>(length, bufferSize));
}

bool Win32Profiles::WriteString(const std::string& section, const std::optional<std::string>& key,
                                const std::optional<std::string>& value, const std::string& file) {
  return WritePrivateProfileStringA(section.c_str(), OrNull(key), OrNull(value), file.c_str()) != FALSE;
}

}  // namespace zeb
