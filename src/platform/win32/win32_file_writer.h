#pragma once
// Whole-file writes on Windows: the stream writer's temporary file, renamed over the target.
#include "changes/text_file_writer.h"

namespace zeb {

class Win32FileWriter : public StreamFileWriter {
 protected:
  // MoveFileExA replaces an existing target in one step; the C library's rename refuses to.
  bool MoveIntoPlace(const std::string& temporary, const std::string& target) override;
};

}  // namespace zeb
