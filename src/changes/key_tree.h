#pragma once
// Whole-key operations of Save's key renames, by root key and path.
#include <string>

#include "platform/registry_api.h"

namespace zeb {

// Scanners hand over some key paths without their leading backslash (escaped printer keys);
// every path a change names counts from the root key, so give it one.
std::string KeyPathFromRoot(const std::string& path);

// True when `path` names a key strictly below `ancestor` (ASCII case ignored).
bool IsKeyBelow(const std::string& path, const std::string& ancestor);

// Removes the key with its whole subtree; a key that does not exist is left alone.
void DeleteKeyTree(RegistryApi& api, RegKey root, const std::string& path);

// Moves the key with its values and subtree to `newPath`, deleting the source. When the move
// cannot be done as a whole (the target is in the way), each subkey is moved on its own into
// the target.
void MoveKeyTree(RegistryApi& api, RegKey root, const std::string& oldPath,
                 const std::string& newPath);

}  // namespace zeb
