#pragma once
// Whole-file writes kept in memory, and a switch to make them fail.
#include <map>
#include <string>

#include "changes/text_file_writer.h"

namespace zeb::testing {

class RecordingFileWriter : public TextFileWriter {
 public:
  bool WriteWholeFile(const std::string& path, const std::string& bytes) override {
    if (fail) return false;
    files[path] = bytes;
    return true;
  }
  std::map<std::string, std::string> files;
  bool fail = false;
};

}  // namespace zeb::testing
