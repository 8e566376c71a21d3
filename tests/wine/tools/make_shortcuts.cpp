// Seeds a workstation with the shortcut files listed in a description file
// (samples/acme/shortcuts.txt), through the shell's own shortcut object.
//
//   make_shortcuts <description> [<desktop folder> <start menu folder>]
//
// Without the two folders, the user's Desktop and Start Menu folders are used.
// Exit code 0 when every line was made, 1 otherwise (each failure is named on stderr).
#include <windows.h>
#include <shlobj.h>

#include <fstream>
#include <memory>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/win32_shell_links.h"

namespace {

struct ShortcutLine {
  std::string area;
  std::string file;
  std::string target;
  std::string workingDirectory;
  std::string arguments;
  std::vector<std::string> flags;
};

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, '|')) fields.push_back(Trim(field));
  return fields;
}

bool HasFlag(const ShortcutLine& line, const std::string& flag) {
  for (const std::string& f : line.flags)
    if (f == flag) return true;
  return false;
}

std::string ShellFolder(int csidl) {
  char path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, 0, path))) return {};
  return path;
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Creates every missing folder of `folder`, outermost first.
void MakeFolders(const std::string& folder) {
  for (std::size_t p = folder.find('\\', 3); ; p = folder.find('\\', p + 1)) {
    CreateDirectoryA(folder.substr(0, p).c_str(), nullptr);
    if (p == std::string::npos) break;
  }
}

bool AddAttribute(const std::string& path, DWORD attribute) {
  const DWORD now = GetFileAttributesA(path.c_str());
  return now != INVALID_FILE_ATTRIBUTES && SetFileAttributesA(path.c_str(), now | attribute);
}

bool WriteNonShortcut(const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  out << "This file only looks like a shortcut.\r\n";
  return static_cast<bool>(out);
}

bool WriteShortcut(const std::string& path, const ShortcutLine& line) {
  const std::unique_ptr<zeb::ShellLink> link = zeb::Win32ShellLinkFactory().Create();
  return link && link->SetPath(line.target) && link->SetWorkingDirectory(line.workingDirectory) &&
         link->SetArguments(line.arguments) && link->Save(path);
}

bool MakeShortcut(const std::string& areaFolder, const ShortcutLine& line) {
  const std::string path = areaFolder + "\\" + line.file;
  const std::string folder = FolderOf(path);
  MakeFolders(folder);
  const bool made = HasFlag(line, "broken") ? WriteNonShortcut(path) : WriteShortcut(path, line);
  if (!made) return false;
  if (HasFlag(line, "hidden") && !AddAttribute(path, FILE_ATTRIBUTE_HIDDEN)) return false;
  if (HasFlag(line, "hidden-folder") && !AddAttribute(folder, FILE_ATTRIBUTE_HIDDEN))
    return false;
  if (HasFlag(line, "system-folder") && !AddAttribute(folder, FILE_ATTRIBUTE_SYSTEM))
    return false;
  return true;
}

bool ParseLine(const std::string& text, ShortcutLine* line) {
  const std::vector<std::string> fields = SplitFields(text);
  if (fields.size() < 5) return false;
  line->area = fields[0];
  line->file = fields[1];
  line->target = fields[2];
  line->workingDirectory = fields[3];
  line->arguments = fields[4];
  if (fields.size() > 5) {
    std::istringstream flags(fields[5]);
    for (std::string flag; flags >> flag;) line->flags.push_back(flag);
  }
  return !line->file.empty();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4) {
    std::cerr << "usage: make_shortcuts <description> [<desktop folder> <start menu folder>]\n";
    return 2;
  }
  std::ifstream description(argv[1]);
  if (!description) {
    std::cerr << "cannot read " << argv[1] << "\n";
    return 1;
  }
  const std::string desktop = argc == 4 ? argv[2] : ShellFolder(CSIDL_DESKTOPDIRECTORY);
  const std::string startMenu = argc == 4 ? argv[3] : ShellFolder(CSIDL_STARTMENU);

  int failures = 0;
  int lineNumber = 0;
  for (std::string text; std::getline(description, text);) {
    ++lineNumber;
    const std::string trimmed = Trim(text);
    if (trimmed.empty() || trimmed[0] == '#') continue;
    ShortcutLine line;
    const bool parsed = ParseLine(trimmed, &line);
    const std::string areaFolder = line.area == "Desktop"      ? desktop
                                   : line.area == "Start Menu" ? startMenu
                                                               : std::string();
    if (!parsed || areaFolder.empty() || !MakeShortcut(areaFolder, line)) {
      std::cerr << argv[1] << ":" << lineNumber << ": cannot make " << trimmed << "\n";
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
