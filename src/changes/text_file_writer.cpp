#include "changes/text_file_writer.h"

#include <cstdio>
#include <fstream>

namespace zeb {

std::string TemporaryPathBeside(const std::string& path) { return path + ".tmp"; }

bool StreamFileWriter::WriteWholeFile(const std::string& path, const std::string& bytes) {
  const std::string temporary = TemporaryPathBeside(path);
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file.fail() && MoveIntoPlace(temporary, path)) return true;
  }
  std::remove(temporary.c_str());
  return false;
}

bool StreamFileWriter::MoveIntoPlace(const std::string& temporary, const std::string& target) {
  if (std::rename(temporary.c_str(), target.c_str()) == 0) return true;
  // Windows' C library does not replace an existing file: the old one goes first, so for a
  // moment there is none. The program itself uses Win32FileWriter, which has no such moment.
  return std::remove(target.c_str()) == 0 && std::rename(temporary.c_str(), target.c_str()) == 0;
}

}  // namespace zeb
