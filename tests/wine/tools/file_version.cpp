// Prints what Windows shows of a program file: the strings of its version resource and how
// many icons it carries, one "name=value" a line. For the end-to-end tests.
//
//   file_version.exe C:\path\program.exe
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: file_version.exe program.exe\n");
    return 2;
  }
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(argv[1], &ignored);
  std::vector<char> info(size);
  if (size == 0 || !GetFileVersionInfoA(argv[1], 0, size, info.data())) {
    std::fprintf(stderr, "file_version: no version resource in %s\n", argv[1]);
    return 1;
  }
  for (const char* name : {"ProductName", "FileDescription", "FileVersion", "ProductVersion"}) {
    const std::string query = std::string("\\StringFileInfo\\040904B0\\") + name;
    char* value = nullptr;
    UINT length = 0;
    const bool found =
        VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&value), &length);
    std::printf("%s=%s\n", name, found && value ? value : "");
  }
  std::printf("icons=%u\n", ExtractIconExA(argv[1], -1, nullptr, nullptr, 0));
  return 0;
}
