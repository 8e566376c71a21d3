#pragma once
// The program's INI layer over the profile functions; every file is named by its full path.
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/profile_api.h"

namespace zeb {

// Raised with "Unable to write to %s".
class IniError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class IniFiles {
 public:
  static constexpr std::size_t kListBuffer = 8192;
  static constexpr std::size_t kValueBuffer = 1024;

  explicit IniFiles(ProfileApi& api) : api_(api) {}

  std::vector<std::string> ReadSections(const std::string& file);
  std::vector<std::string> ReadKeys(const std::string& file, const std::string& section);
  std::string ReadString(const std::string& file, const std::string& section,
                         const std::string& key);  // at most 1023 bytes, empty when missing
  void WriteString(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value);
  void DeleteKey(const std::string& file, const std::string& section, const std::string& key);

 private:
  ProfileApi& api_;
};

}  // namespace zeb
