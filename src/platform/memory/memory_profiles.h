#pragma once
// The profile functions over a MemoryFileSystem, answering as GetPrivateProfileStringA and
// WritePrivateProfileStringA do under Wine, down to how lists and values are cut to the
// caller's buffer.
#include <optional>
#include <string>

#include "platform/memory/ini_document.h"
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
  // The file as the profile functions see it: a missing file is an empty one; nothing when
  // it exists but cannot be read. Kept until the file system changes, as Wine keeps the
  // files it read, so that a scan reading every value of a large file reads it once.
  const std::optional<IniDocument>& Open(const std::string& file);

  MemoryFileSystem& files_;
  std::string cachedFile_;
  std::uint64_t cachedGeneration_ = 0;
  bool cached_ = false;
  std::optional<IniDocument> cachedDocument_;
};

}  // namespace zeb
