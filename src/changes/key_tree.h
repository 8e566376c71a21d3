#pragma once
// Whole-key operations of Save's key renames, by root key and path.
#include <string>

#include "platform/registry_api.h"

namespace zeb {

// Scanners hand over some key paths without their leading backslash (escaped printer keys);
// every path a change names counts from the root key, so give it one.
std::string KeyPathFromRoot(const std::string& path);

// Key paths without empty parts ("\\A\\\\B\\" is "\\A\\B"), for telling keys apart.
std::string NormalizedKeyPath(const std::string& path);
// Whether the two paths name one key, letter case ignored as the Registry ignores it (beyond
// ASCII too).
bool IsSameKey(const std::string& a, const std::string& b);
// True when `path` names a key strictly below `ancestor`, compared the same way.
bool IsKeyBelow(const std::string& path, const std::string& ancestor);

// Removes the key with its whole subtree; a key that does not exist is left alone.
void DeleteKeyTree(RegistryApi& api, RegKey root, const std::string& path);

// Moves the key with its values and subtree to `newPath`, deleting the source. When the move
// cannot be done as a whole (the target is in the way), each subkey is moved on its own into
// the target.
void MoveKeyTree(RegistryApi& api, RegKey root, const std::string& oldPath,
                 const std::string& newPath);

// A path beside `path` where no key is: its name followed by "~zeb" and a number. Empty when
// none is free.
std::string FreeKeyPathBeside(RegistryApi& api, RegKey root, const std::string& path);

// Moves the key at `from` to `to`, where no key may be: with MoveKeyTree on Windows NT, with
// the Registry layer's move elsewhere. True when the key has gone from `from`. A move that
// stops half way (the copy made, the source only partly deleted) is undone: `from` gets its
// whole contents back from the copy, which then goes.
[[nodiscard]] bool MoveKeyWhole(RegistryApi& api, RegKey root, const std::string& from,
                                const std::string& to, bool windowsNt);

}  // namespace zeb
