#pragma once
// The exit codes a deployment tool reads. A run collects every code that applies and ends
// with the largest, so that the worst thing that happened is the one reported.
#include <algorithm>

namespace zeb {

enum class ExitCode : int {
  kCompleted = 0,        // nothing to change, or every ticked change written
  kNoWindows = 1,        // the windows could not be created
  kStartUpEnded = 2,     // an invalid date, a message file that cannot be opened, ...
  kDirectoryFailed = 3,  // the directory could not be used
  kSaveFailed = 4,       // Save ended by an error, or ticked lines not written
  kChangesFound = 5,     // a report-only run found changes
  kJournalFailed = 6,    // the journal could not be written, or a rollback's read or used
};

class RunExitCode {
 public:
  void Raise(ExitCode code) { code_ = std::max(code_, static_cast<int>(code)); }
  int Value() const { return code_; }

 private:
  int code_ = 0;
};

}  // namespace zeb
