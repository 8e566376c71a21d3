// folder_tree_gen ROOT FOLDERS FILES [SEED]: a Windows-sized folder tree for the folder-walk
// benchmark. FOLDERS folders (a fan-out of 2 to 12 per folder, depth up to about 9) and FILES
// files spread over them, seeded. Of the files, about 1 in 250 is an INI file (two sections,
// three entries each, one holding AcmeNeedle) and 1 in 250 a shortcut made through the shell
// object (its target holding AcmeNeedle); 1 in 50 folders is hidden and 1 in 100 system, 1 in
// 40 files hidden. Prints what it made.
#ifdef _WIN32

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/win32/win32_shell_links.h"

namespace {

bool WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                            nullptr) && written == bytes.size();
  CloseHandle(file);
  return ok;
}

std::string IniText(unsigned n) {
  return "[Settings" + std::to_string(n) + "]\r\nPath=C:\\Program Files\\App" + std::to_string(n) +
         "\r\nServer=\\\\ACMENEEDLE\\share\r\nMode=" + std::to_string(n % 7) +
         "\r\n[Recent]\r\nFile1=C:\\Data\\one.txt\r\nFile2=C:\\Data\\two.txt\r\nUser=acme\r\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: folder_tree_gen ROOT FOLDERS FILES [SEED]\n");
    return 2;
  }
  const std::string root = argv[1];
  const long folderCount = std::atol(argv[2]);
  const long fileCount = std::atol(argv[3]);
  std::mt19937 random(argc > 4 ? static_cast<unsigned>(std::atol(argv[4])) : 12345u);

  for (std::size_t i = root.find('\\', 3);; i = root.find('\\', i + 1)) {
    CreateDirectoryA(root.substr(0, i).c_str(), nullptr);
    if (i == std::string::npos) break;
  }
  const DWORD rootAttributes = GetFileAttributesA(root.c_str());
  if (rootAttributes == INVALID_FILE_ATTRIBUTES || !(rootAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    std::fprintf(stderr, "folder_tree_gen: cannot make %s\n", root.c_str());
    return 1;
  }
  // Breadth first, so that the tree is wide near the root and deep below, as C:\Windows is.
  std::vector<std::string> folders = {root};
  long hiddenFolders = 0, systemFolders = 0;
  for (std::size_t parent = 0; static_cast<long>(folders.size()) < folderCount; ++parent) {
    const unsigned children = 2 + random() % 11;
    for (unsigned c = 0; c < children && static_cast<long>(folders.size()) < folderCount; ++c) {
      const std::string path = folders[parent % folders.size()] + "\\dir" +
                               std::to_string(folders.size()) + (c % 3 ? "" : ".x86_component");
      if (!CreateDirectoryA(path.c_str(), nullptr)) {
        std::fprintf(stderr, "folder_tree_gen: cannot make %s\n", path.c_str());
        return 1;
      }
      const unsigned kind = random() % 100;
      if (kind < 2) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
        ++hiddenFolders;
      } else if (kind < 3) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_SYSTEM);
        ++systemFolders;
      }
      folders.push_back(path);
    }
  }

  zeb::Win32ShellLinkFactory links;
  long inis = 0, shortcuts = 0, hiddenFiles = 0;
  const char* const extensions[] = {".dll", ".exe", ".mui", ".xml", ".log", ".dat", ".manifest"};
  for (long i = 0; i < fileCount; ++i) {
    const std::string folder = folders[random() % folders.size()];
    const unsigned kind = random() % 250;
    std::string path = folder + "\\file" + std::to_string(i);
    bool made = false;
    if (kind == 0) {
      path += ".ini";
      made = WriteBytes(path, IniText(static_cast<unsigned>(i)));
      inis += made;
    } else if (kind == 1) {
      path += ".lnk";
      const std::unique_ptr<zeb::ShellLink> link = links.Create();
      made = link && link->SetPath("\\\\ACMENEEDLE\\apps\\app" + std::to_string(i) + ".exe") &&
             link->SetWorkingDirectory("C:\\Program Files") && link->SetArguments("/q") &&
             link->Save(path);
      shortcuts += made;
    } else {
      path += extensions[random() % std::size(extensions)];
      made = WriteBytes(path, "MZ");
    }
    if (made && random() % 40 == 0) {
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
      ++hiddenFiles;
    }
  }
  std::printf("folders=%zu hidden_folders=%ld system_folders=%ld files=%ld ini=%ld lnk=%ld "
              "hidden_files=%ld\n",
              folders.size(), hiddenFolders, systemFolders, fileCount, inis, shortcuts,
              hiddenFiles);
  return 0;
}

#else

#include <cstdio>

int main() {
  std::puts("folder_tree_gen: Windows only (it makes real files and shortcuts)");
  return 0;
}

#endif
