#pragma once
// How the Registry scanners see a value's data: only REG_SZ and REG_EXPAND_SZ are text, read
// up to the first zero (a value stored without its terminating zero reads to its end).
#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/registry_api.h"

namespace zeb {

inline bool IsTextType(std::uint32_t type) {
  return type == regtype::kString || type == regtype::kExpandString;
}

// A view into `data`; valid while `data` is.
inline std::string_view TextOf(const std::vector<std::uint8_t>& data) {
  const auto end = std::find(data.begin(), data.end(), std::uint8_t{0});
  return std::string_view(reinterpret_cast<const char*>(data.data()),
                          static_cast<std::size_t>(end - data.begin()));
}

// True when nothing but zeros follows the text: new data built from the text then loses
// nothing of the old.
inline bool IsWholeText(const std::vector<std::uint8_t>& data) {
  const auto end = std::find(data.begin(), data.end(), std::uint8_t{0});
  return std::all_of(end, data.end(), [](std::uint8_t byte) { return byte == 0; });
}

}  // namespace zeb
