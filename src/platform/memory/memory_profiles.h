#pragma once
// The profile functions over a MemoryFileSystem, answering as GetPrivateProfileStringA and
// WritePrivateProfileStringA do under Wine, down to how lists and values are cut to the
// caller's buffer.
#include "platform/memory/memory_file_system.h"
#include "platform/profile_api.h"

namespace zeb {

class MemoryProfiles : public ProfileApi {
 public:
  explicit MemoryProfiles(MemoryFileSystem& files) : files_(files) {}

  std::string GetString(const std::optional<std::string>& section,
                        const std::optional<std::string>& key, const std::string& defaultValue,
                        std::size_t bufferSize, const std::string& file) override;
  bool WriteString(const std::string& section, const std::optional<std::string>& key,
                   const std::optional<std::string>& value, const std::string& file) override;

 private:
  MemoryFileSystem& files_;
};

}  // namespace zeb
