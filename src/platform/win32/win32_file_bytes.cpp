#include "platform/win32/win32_file_bytes.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/file_handle.h"

namespace zeb {
namespace {

bool IsMissing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// WriteFile takes at most a DWORD's worth, and may write less than asked.
bool WriteEvery(HANDLE file, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

}  // namespace

FileReadStatus Win32FileBytes::ReadAll(const std::string& path, std::string* bytes) {
  const FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return IsMissing(GetLastError()) ? FileReadStatus::kNotFound : FileReadStatus::kFailed;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return FileReadStatus::kFailed;
  std::string read(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < read.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(read.size() - done, 1u << 20));
    DWORD got = 0;
    if (!ReadFile(file.get(), &read[done], chunk, &got, nullptr)) return FileReadStatus::kFailed;
    if (got == 0) break;  // the file shrank meanwhile
    done += got;
  }
  read.resize(done);
  *bytes = std::move(read);
  return FileReadStatus::kRead;
}

// OPEN_ALWAYS and then cutting the file to its new end, not CREATE_ALWAYS: that refuses a hidden
// or system file, and would drop the attributes of any other.
bool Win32FileBytes::WriteAll(const std::string& path, const std::string& bytes) {
  const FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.valid() && WriteEvery(file.get(), bytes) && SetEndOfFile(file.get()) &&
         FlushFileBuffers(file.get());
}

bool Win32FileBytes::Remove(const std::string& path) {
  return DeleteFileA(path.c_str()) || IsMissing(GetLastError());
}

bool Win32FileBytes::Exists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace zeb
