#pragma once
// What "/?" shows: every switch the program knows, one line each.
#include <cstddef>

namespace zeb {

// The longest line a box shows unwrapped on an 800-pixel screen, in characters.
constexpr std::size_t kUsageLineLimit = 42;

extern const char kUsageText[];

}  // namespace zeb
