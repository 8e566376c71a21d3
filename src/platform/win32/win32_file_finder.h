#pragma once
#include "platform/file_finder.h"

namespace zeb {

class Win32FileFinder : public FileFinder {
 public:
  std::vector<FileEntry> FindAll(const std::string& pattern) override;
};

}  // namespace zeb
