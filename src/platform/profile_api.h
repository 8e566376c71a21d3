#pragma once
// GetPrivateProfileStringA / WritePrivateProfileStringA, with a null pointer written as
// std::nullopt. Backends: win32/ and memory/.
#include <cstddef>
#include <optional>
#include <string>

namespace zeb {

class ProfileApi {
 public:
  virtual ~ProfileApi() = default;
  // What the call leaves in a buffer of bufferSize bytes, without the final terminating
  // zero: with no section the zero-separated section names, with no key the zero-separated
  // key names (each followed by a zero), else the value (or the default).
  virtual std::string GetString(const std::optional<std::string>& section,
                                const std::optional<std::string>& key,
                                const std::string& defaultValue, std::size_t bufferSize,
                                const std::string& file) = 0;
  // No key deletes the section; no value deletes the key. False when the call fails.
  virtual bool WriteString(const std::string& section, const std::optional<std::string>& key,
                           const std::optional<std::string>& value, const std::string& file) = 0;
};

}  // namespace zeb
