#include "changes/key_tree.h"

#include "platform/registry.h"
#include "platform/text.h"

namespace zeb {

std::string KeyPathFromRoot(const std::string& path) {
  return !path.empty() && path[0] == '\\' ? path : "\\" + path;
}

bool IsKeyBelow(const std::string& path, const std::string& ancestor) {
  return path.size() > ancestor.size() && StartsWithIgnoreCase(path, ancestor) &&
         path[ancestor.size()] == '\\';
}

void DeleteKeyTree(RegistryApi& api, RegKey root, const std::string& path) {
  Registry registry(api, root);
  if (registry.KeyExists(path)) registry.DeleteKey(path);
}

void MoveKeyTree(RegistryApi& api, RegKey root, const std::string& oldPath,
                 const std::string& newPath) {
  Registry registry(api, root);
  registry.MoveKey(oldPath, newPath);
  // Still there: either the target was in the way, then the subkeys go into it one by one,
  // or the copy failed, and then nothing more is tried.
  if (!registry.KeyExists(newPath) || !registry.OpenKey(oldPath, false)) return;
  for (const std::string& name : registry.GetKeyNames())
    MoveKeyTree(api, root, oldPath + "\\" + name, newPath + "\\" + name);
}

}  // namespace zeb
