#include "changes/key_tree.h"

#include <algorithm>

#include "changes/undo_image.h"
#include "platform/registry.h"
#include "platform/wide_case.h"

namespace zeb {

std::string KeyPathFromRoot(const std::string& path) {
  return !path.empty() && path[0] == '\\' ? path : "\\" + path;
}

std::string NormalizedKeyPath(const std::string& path) {
  std::string normalized;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find('\\', start), path.size());
    if (end > start) normalized.append("\\").append(path, start, end - start);
    start = end + 1;
  }
  return normalized;
}

bool IsSameKey(const std::string& a, const std::string& b) {
  return SameFoldedName(NormalizedKeyPath(a), NormalizedKeyPath(b));
}

bool IsKeyBelow(const std::string& path, const std::string& ancestor) {
  return IsFoldedPathBelow(NormalizedKeyPath(path), NormalizedKeyPath(ancestor));
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

std::string FreeKeyPathBeside(RegistryApi& api, RegKey root, const std::string& path) {
  Registry registry(api, root);
  const std::string base = NormalizedKeyPath(path) + "~zeb";
  for (int n = 1; n < 1000; ++n) {
    const std::string candidate = base + std::to_string(n);
    if (!registry.KeyExists(candidate)) return candidate;
  }
  return {};
}

bool MoveKeyWhole(RegistryApi& api, RegKey root, const std::string& from, const std::string& to,
                  bool windowsNt) {
  Registry registry(api, root);
  if (windowsNt)
    MoveKeyTree(api, root, from, to);
  else
    registry.MoveKey(from, to);
  if (!registry.KeyExists(from)) return true;
  if (registry.KeyExists(to)) {
    const std::optional<RegistryKeyImage> copy = CaptureKey(api, root, to);
    if (copy && RestoreKey(api, root, from, *copy)) DeleteKeyTree(api, root, to);
  }
  return false;
}

}  // namespace zeb
