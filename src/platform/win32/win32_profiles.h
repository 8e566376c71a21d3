#pragma once
#include "platform/profile_api.h"

namespace zeb {

class Win32Profiles : public ProfileApi {
 public:
  std::string GetString(const std::optional<std::string>& section,
                        const std::optional<std::string>& key, const std::string& defaultValue,
                        std::size_t bufferSize, const std::string& file) override;
  bool WriteString(const std::string& section, const std::optional<std::string>& key,
                   const std::optional<std::string>& value, const std::string& file) override;
};

}  // namespace zeb
