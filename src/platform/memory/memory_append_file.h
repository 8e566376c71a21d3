#pragma once
// Append files in memory, each keeping what was flushed apart from what was only appended:
// a process killed now would leave `flushed` on disk and lose the rest.
#include <map>
#include <set>
#include <string>

#include "platform/append_file_api.h"

namespace zeb {

class MemoryAppendFiles : public AppendFiles {
 public:
  struct Contents {
    std::string flushed;
    std::string appended;  // everything, flushed or not
  };

  std::unique_ptr<AppendFile> Create(const std::string& path) override;

  std::map<std::string, Contents> files;  // by path as given
  std::set<std::string> uncreatable;      // paths Create refuses
  bool failAppend = false;                // every Append fails from now on
  bool failFlush = false;
  int flushLimit = -1;  // when not negative: the flushes that succeed, the rest fail
  int flushes = 0;
};

}  // namespace zeb
