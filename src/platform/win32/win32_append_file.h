#pragma once
#include "platform/append_file_api.h"

namespace zeb {

class Win32AppendFiles : public AppendFiles {
 public:
  std::unique_ptr<AppendFile> Create(const std::string& path) override;
};

}  // namespace zeb
