#pragma once
// What became of one check-list line: proposed by the scan, then settled by Save.
#include <string>

namespace zeb {

// A rollback's lines end as kRestored, kAsBefore ("already as before") or kChangedSince.
enum class LineStatus {
  kProposed, kWritten, kUnticked, kFailed, kNotReached, kRestored, kAsBefore, kChangedSince
};

struct LineOutcome {
  LineStatus status = LineStatus::kProposed;
  std::string error;  // with kFailed: why, in the program's own words
};

}  // namespace zeb
