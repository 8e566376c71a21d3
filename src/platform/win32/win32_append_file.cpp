#include "platform/win32/win32_append_file.h"

#include <windows.h>

#include <algorithm>

namespace zeb {
namespace {

class Win32AppendFile : public AppendFile {
 public:
  explicit Win32AppendFile(HANDLE handle) : handle_(handle) {}
  ~Win32AppendFile() override { CloseHandle(handle_); }
  Win32AppendFile(const Win32AppendFile&) = delete;
  Win32AppendFile& operator=(const Win32AppendFile&) = delete;

  bool Append(std::string_view bytes) override {
    while (!bytes.empty()) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
      if (!WriteFile(handle_, bytes.data(), chunk, &written, nullptr) || written == 0)
        return false;
      bytes.remove_prefix(written);
    }
    return true;
  }
  bool Flush() override { return FlushFileBuffers(handle_) != FALSE; }

 private:
  HANDLE handle_;
};

}  // namespace

std::unique_ptr<AppendFile> Win32AppendFiles::Create(const std::string& path) {
  // Others may read the journal while the run goes on, but not write it.
  const HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32AppendFile>(handle);
}

}  // namespace zeb
