// bare_file_walk ROOT: our yardstick for the folder walks, brought in from ../shared/bench.
// Windows only: the native build compiles it to a stub.
#ifdef _WIN32
// bare_file_walk ROOT: the limit of a folder walk through FindFirstFileA: one "*" listing per
// folder, hidden and system folders not entered, "*.INI" files counted from the same listing.
// Prints folders, files, ini files and the walk's milliseconds.
#include <windows.h>
#include <cstdio>
#include <string>

static long folders = 0, files = 0, inis = 0;

static bool IsIni(const char* name) {
  size_t n = strlen(name);
  return n >= 4 && _stricmp(name + n - 4, ".ini") == 0;
}

static void Walk(const std::string& dir) {
  ++folders;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if (fd.cFileName[0] == '.') continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (!(fd.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) Walk(dir + "\\" + fd.cFileName);
    } else {
      ++files;
      if (IsIni(fd.cFileName)) ++inis;
    }
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  LARGE_INTEGER f, a, b;
  QueryPerformanceFrequency(&f); QueryPerformanceCounter(&a);
  Walk(argv[1]);
  QueryPerformanceCounter(&b);
  printf("folders=%ld files=%ld ini=%ld walk_ms=%.1f\n", folders, files, inis, (b.QuadPart - a.QuadPart) * 1000.0 / f.QuadPart);
  return 0;
}

#else

#include <cstdio>

int main() {
  std::puts("bare_file_walk: Windows only (it times the real file search)");
  return 0;
}

#endif
