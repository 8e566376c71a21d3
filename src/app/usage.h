#pragma once
// What "/?" shows: every switch the program knows, one line each.
#include <string>

namespace zeb {

extern const char kUsageText[];

}  // namespace zeb
