#pragma once
// What became of one check-list line: proposed by the scan, then settled by Save.
#include <string>

namespace zeb {

enum class LineStatus { kProposed, kWritten, kUnticked, kFailed, kNotReached };

struct LineOutcome {
  LineStatus status = LineStatus::kProposed;
  std::string error;  // with kFailed: why, in the program's own words
};

}  // namespace zeb
