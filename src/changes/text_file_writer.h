#pragma once
// Writing a whole file at once; a seam so that tests can make it fail.
#include <string>

namespace zeb {

class TextFileWriter {
 public:
  virtual ~TextFileWriter() = default;
  // Replaces the file's contents with `bytes`, written as they are. False on any failure.
  virtual bool WriteWholeFile(const std::string& path, const std::string& bytes) = 0;
};

// std::ofstream in binary mode: the path is passed as it is (the ANSI code page on Windows).
class StreamFileWriter : public TextFileWriter {
 public:
  bool WriteWholeFile(const std::string& path, const std::string& bytes) override;
};

}  // namespace zeb
