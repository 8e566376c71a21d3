#pragma once
// RegKey values and the HKEY handles the advapi32 functions take.
#include <windows.h>

#include <cstdint>

#include "platform/registry_api.h"

namespace zeb {

inline bool IsPredefined(std::uintptr_t key) {
  return key >= hkey::kClassesRoot && key <= hkey::kDynData;
}

// The predefined keys are sign-extended 32-bit values in a 64-bit HKEY.
inline HKEY ToHkey(RegKey key) {
  if (IsPredefined(key))
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(key)));
  return reinterpret_cast<HKEY>(key);
}

inline RegKey FromHkey(HKEY key) {
  const auto bits = reinterpret_cast<std::uintptr_t>(key);
  const auto low = static_cast<std::uint32_t>(bits);
  return IsPredefined(low) && ToHkey(low) == key ? low : bits;
}

}  // namespace zeb
