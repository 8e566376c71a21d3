// Prints the three fields of shortcut files as the shell's shortcut object reports them,
// read the way zeb reads them (target path with the UNC-priority flag, 512-byte buffers).
//
//   read_shortcuts <shortcut file>...
//
// One line per file: path, target path, working directory, arguments, separated by tabs;
// a file that does not load prints its path and "<not loaded>". Exit code 0 when every file
// loaded, 1 otherwise, 2 without the shell's shortcut object.
#include <cstdio>
#include <memory>
#include <string>

#include "platform/win32/win32_shell_links.h"

namespace {

// A fresh object per file, so that a file that fails to load cannot show the fields of
// the one before.
bool PrintFields(zeb::ShellLinkFactory& factory, const std::string& path) {
  const std::unique_ptr<zeb::ShellLink> link = factory.Create();
  if (!link || !link->Load(path)) {
    std::printf("%s\t<not loaded>\n", path.c_str());
    return false;
  }
  std::string target, directory, arguments;
  link->GetPath(&target);
  link->GetWorkingDirectory(&directory);
  link->GetArguments(&arguments);
  std::printf("%s\t%s\t%s\t%s\n", path.c_str(), target.c_str(), directory.c_str(),
              arguments.c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  zeb::Win32ShellLinkFactory factory;
  if (!factory.Create()) {
    std::fprintf(stderr, "the shell's shortcut object cannot be created\n");
    return 2;
  }
  bool allLoaded = true;
  for (int i = 1; i < argc; ++i) allLoaded = PrintFields(factory, argv[i]) && allLoaded;
  return allLoaded ? 0 : 1;
}
