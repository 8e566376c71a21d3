// Real files under a folder of this run in C:\ of the Wine prefix, removed at exit.
#include <windows.h>

#include <stdexcept>

#include "contract/backend.h"
#include "platform/win32/file_handle.h"
#include "platform/win32/win32_file_bytes.h"
#include "platform/win32/win32_file_finder.h"
#include "platform/win32/win32_profiles.h"
#include "platform/win32/win32_shell_links.h"

namespace zeb::contract {
namespace {

void MakeFolderChain(const std::string& path) {
  for (std::size_t i = path.find('\\', 3); ; i = path.find('\\', i + 1)) {
    CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    if (i == std::string::npos) break;
  }
}

void RemoveTree(const std::string& folder) {
  Win32FileFinder finder;
  for (const FileEntry& entry : finder.FindAll(folder + "\\*")) {
    if (entry.name == "." || entry.name == "..") continue;
    const std::string path = folder + "\\" + entry.name;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY)
      RemoveTree(path);
    else
      DeleteFileA(path.c_str());
  }
  SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(folder.c_str());
}

class RunFolder {
 public:
  RunFolder() : path_("C:\\zeb-contract-" + std::to_string(GetCurrentProcessId())) {
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~RunFolder() { RemoveTree(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

ProfileApi& Profiles() {
  static Win32Profiles profiles;
  return profiles;
}

FileFinder& Files() {
  static Win32FileFinder finder;
  return finder;
}

ShellLinkFactory& ShellLinks() {
  static Win32ShellLinkFactory links;
  return links;
}

FileBytesApi& FileBytes() {
  static Win32FileBytes bytes;
  return bytes;
}

std::string NewFolder() {
  static RunFolder run;
  static int count = 0;
  const std::string path = run.path() + "\\" + std::to_string(++count);
  if (!CreateDirectoryA(path.c_str(), nullptr)) throw std::runtime_error("cannot make " + path);
  return path;
}

void MakeFolder(const std::string& path, std::uint32_t attributes) {
  MakeFolderChain(path);
  if (attributes && !SetFileAttributesA(path.c_str(), attributes))
    throw std::runtime_error("cannot set the attributes of " + path);
}

void WriteTestFile(const std::string& path, const std::string& bytes, std::uint32_t attributes) {
  MakeFolderChain(path.substr(0, path.rfind('\\')));
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // a hidden file refuses CREATE_ALWAYS
  {
    const FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file.valid() ||
        !::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
      throw std::runtime_error("cannot write " + path);
  }
  if (attributes && !SetFileAttributesA(path.c_str(), attributes))
    throw std::runtime_error("cannot set the attributes of " + path);
}

std::string ReadTestFile(const std::string& path) {
  const FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
  std::string bytes;
  if (!file.valid()) return bytes;
  char buffer[65536];
  DWORD read = 0;
  while (::ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
  return bytes;
}

bool TestFileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::shared_ptr<void> HoldFileOpen(const std::string& path) {
  const HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
  return std::shared_ptr<void>(file, [](HANDLE handle) { CloseHandle(handle); });
}

}  // namespace zeb::contract
