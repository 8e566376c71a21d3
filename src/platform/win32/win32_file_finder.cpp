#include "platform/win32/win32_file_finder.h"

#include <windows.h>

namespace zeb {
namespace {

// Owns a search handle from FindFirstFileA.
class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : handle_(handle) {}
  ~FindHandle() {
    if (valid()) FindClose(handle_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

std::vector<FileEntry> Win32FileFinder::FindAll(const std::string& pattern) {
  std::vector<FileEntry> entries;
  WIN32_FIND_DATAA data{};
  const FindHandle search(FindFirstFileA(pattern.c_str(), &data));
  if (!search.valid()) return entries;
  do {
    entries.push_back({data.cFileName, data.dwFileAttributes, data.cAlternateFileName});
  } while (FindNextFileA(search.get(), &data));
  return entries;
}

}  // namespace zeb
