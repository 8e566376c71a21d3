#pragma once
// A loaded hive as an owned resource: loading gives a LoadedHive, which unloads the hive when
// it goes, on every way out of its scope.
#include <string>

#include "platform/hive_api.h"

namespace zeb {

class LoadedHive {
 public:
  LoadedHive() = default;
  LoadedHive(LoadedHive&& other) noexcept;
  LoadedHive& operator=(LoadedHive&& other) noexcept;
  LoadedHive(const LoadedHive&) = delete;
  LoadedHive& operator=(const LoadedHive&) = delete;
  ~LoadedHive();

  // Loads `file` as root\name. On failure the result holds no hive and *error the reason.
  [[nodiscard]] static LoadedHive Load(HiveApi& api, RegKey root, const std::string& name,
                                       const std::string& file, long* error);

  explicit operator bool() const { return api_ != nullptr; }
  RegKey root() const { return root_; }
  const std::string& name() const { return name_; }

  // Unloads now. Whatever the result, this object no longer holds the hive: a second try
  // from a destructor would meet the same open handle or a key that is gone.
  [[nodiscard]] long Unload();

 private:
  HiveApi* api_ = nullptr;
  RegKey root_ = 0;
  std::string name_;
};

}  // namespace zeb
