#pragma once
// Images of what Save is about to change, taken through the platform seams, and put back
// exactly: a Registry value, a whole key subtree, a file's bytes. An image says whether the
// item existed; a capture that cannot read the item gives nothing at all, so that "not found"
// (an image with exists = false) never stands in for "failed".
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_bytes_api.h"
#include "platform/registry_api.h"

namespace zeb {

// One value of (root, key path, value name); the default value has the empty name.
struct RegistryValueImage {
  bool exists = false;
  std::uint32_t type = regtype::kNone;
  std::vector<std::uint8_t> data;
};

// A key with everything below it. Values (name, type, data) and subkeys in the order the
// Registry enumerates them.
struct RegistryKeyImage {
  struct SubKey;
  bool exists = false;
  std::vector<RegValue> values;
  std::vector<SubKey> subKeys;
};
struct RegistryKeyImage::SubKey {
  std::string name;
  RegistryKeyImage image;
};

// A file byte for byte.
struct FileImage {
  bool exists = false;
  std::string bytes;
};

// Equal when both are missing, or both exist with the same contents: same type and data; for
// keys the same value names (exactly) with the same type and data and the same subkeys,
// whatever their order; for files the same bytes.
bool operator==(const RegistryValueImage& a, const RegistryValueImage& b);
bool operator!=(const RegistryValueImage& a, const RegistryValueImage& b);
bool operator==(const RegistryKeyImage& a, const RegistryKeyImage& b);
bool operator!=(const RegistryKeyImage& a, const RegistryKeyImage& b);
bool operator==(const FileImage& a, const FileImage& b);
bool operator!=(const FileImage& a, const FileImage& b);

// Key paths count from `root`, as the Registry layer's do ("\Software\Zeb" or
// "Software\Zeb"; the empty path is the root itself).

// Nothing when the key exists but cannot be opened, or the value cannot be read.
std::optional<RegistryValueImage> CaptureValue(RegistryApi& api, RegKey root,
                                               const std::string& keyPath,
                                               const std::string& name);
// Nothing when the key or anything below it cannot be opened, enumerated whole or read.
std::optional<RegistryKeyImage> CaptureKey(RegistryApi& api, RegKey root,
                                           const std::string& keyPath);
// Nothing when the file exists but cannot be read.
std::optional<FileImage> CaptureFile(FileBytesApi& files, const std::string& path);

// The shortest leading part of `keyPath` that names a missing key (the topmost key that
// creating `keyPath` would make), spelt as in `keyPath`; nothing when the key exists or a part
// cannot be opened for another reason.
std::optional<std::string> TopmostMissingKey(RegistryApi& api, RegKey root,
                                             const std::string& keyPath);

// Puts the image back: an existing value is written with its own type and data (the key is
// created when missing); a missing one is deleted if present. False when a write failed.
[[nodiscard]] bool RestoreValue(RegistryApi& api, RegKey root, const std::string& keyPath,
                                const std::string& name, const RegistryValueImage& image);
// Makes the key hold exactly the image: creates what is missing, writes every value, deletes
// values and subkeys the image does not have, and gives the key back the spelling of the
// path's last part; a missing image deletes the key with its subtree. False when anything could not be done (what could be done is done).
[[nodiscard]] bool RestoreKey(RegistryApi& api, RegKey root, const std::string& keyPath,
                              const RegistryKeyImage& image);
// False when the key exists but its own name is spelt in another letter case than the path's
// last part (the Registry takes either for the same key); true otherwise.
bool KeySpeltAsPath(RegistryApi& api, RegKey root, const std::string& keyPath);
// Rewrites the file byte for byte (flushed), or removes it when it did not exist.
[[nodiscard]] bool RestoreFile(FileBytesApi& files, const std::string& path,
                               const FileImage& image);

}  // namespace zeb
