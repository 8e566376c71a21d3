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

// The temporary file a whole-file write goes to first: beside its target, so that the
// rename stays on one volume, and with a name a collector's "*.csv" does not pick up.
std::string TemporaryPathBeside(const std::string& path);

// std::ofstream in binary mode into TemporaryPathBeside(path), then renamed into place, so
// that a reader sees the old file or the new one whole, never half of one. The path is
// passed as it is (the ANSI code page on Windows). On failure the target is as it was and
// no temporary file is left.
class StreamFileWriter : public TextFileWriter {
 public:
  bool WriteWholeFile(const std::string& path, const std::string& bytes) override;

 protected:
  // Replaces `target` by `temporary`: std::rename, which replaces an existing file in one
  // step on POSIX only; Windows needs MoveFileExA for that (Win32FileWriter).
  virtual bool MoveIntoPlace(const std::string& temporary, const std::string& target);
};

}  // namespace zeb
