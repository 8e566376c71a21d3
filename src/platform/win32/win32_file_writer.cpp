#include "platform/win32/win32_file_writer.h"

#include <windows.h>

namespace zeb {

bool Win32FileWriter::MoveIntoPlace(const std::string& temporary, const std::string& target) {
  return MoveFileExA(temporary.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace zeb
