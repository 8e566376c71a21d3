#include "platform/hive.h"

#include <utility>

namespace zeb {

LoadedHive::LoadedHive(LoadedHive&& other) noexcept
    : api_(std::exchange(other.api_, nullptr)), root_(other.root_), name_(std::move(other.name_)) {}

LoadedHive& LoadedHive::operator=(LoadedHive&& other) noexcept {
  if (this != &other) {
    (void)Unload();
    api_ = std::exchange(other.api_, nullptr);
    root_ = other.root_;
    name_ = std::move(other.name_);
  }
  return *this;
}

LoadedHive::~LoadedHive() { (void)Unload(); }

LoadedHive LoadedHive::Load(HiveApi& api, RegKey root, const std::string& name,
                            const std::string& file, long* error) {
  LoadedHive hive;
  *error = api.LoadKey(root, name, file);
  if (*error == winerr::kSuccess) {
    hive.api_ = &api;
    hive.root_ = root;
    hive.name_ = name;
  } else if (*error == winerr::kNotRegistryFile) {
    // Wine leaves the new key behind for a file that is no hive. Only this failure gets the
    // clean-up: after any other the key may be one that somebody else has loaded meanwhile.
    (void)api.UnLoadKey(root, name);
  }
  return hive;
}

long LoadedHive::Unload() {
  if (!api_) return winerr::kSuccess;
  HiveApi* api = std::exchange(api_, nullptr);
  return api->UnLoadKey(root_, name_);
}

}  // namespace zeb
