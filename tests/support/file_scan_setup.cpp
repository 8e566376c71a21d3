#include "support/file_scan_setup.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/sample_paths.h"

namespace zeb::testing {

SampleDirectory::SampleDirectory()
    : LdifDirectory(DirectoryConfig{SampleDirectoryFile(), "ACME_TREE", "Robert.Sales.Acme"}) {
  std::uint32_t contextFlags = 0;
  if (DXCallsInit() != 0 || DXVRCreateContextHandle(&context) != 0 ||
      DXVRGetContext(context, contextkey::kFlags, &contextFlags) != 0 ||
      DXVRSetContextFlags(context, contextFlags | kTypelessNamesFlag) != 0)
    throw std::runtime_error("sample directory: " + LastError());
}

bool SampleDirectory::FindEntry(const std::string& fullName) {
  lookups.push_back(fullName);
  return LdifDirectory::FindEntry(fullName);
}

FileScanSetup::FileScanSetup()
    : workstation{registry, profiles, finder, shellLinks, system, fileBytes},
      changes(view, view, flags),
      names(directory, directory.context, "ACME_TREE", view),
      shellLink(shellLinks.Create()),
      context{workstation, names, changes, view, flags, ProgramMode::kDereferenceAliases,
              std::string(), std::string(), std::string(), shellLink.get()} {
  flags.promptUser = true;  // the start-up's defaults
  flags.shortcutsTicked = true;
}

FileScanSetup::~FileScanSetup() = default;

void FileScanSetup::UseSearchAndReplace(const std::string& search, const std::string& replace) {
  context.mode = ProgramMode::kSearchAndReplace;
  context.search = search;
  context.replace = replace;
}

std::vector<std::string> FileScanSetup::Changes() const {
  std::vector<std::string> out;
  for (const ChangeRec& change : changes)
    out.push_back(std::to_string(change.kind) + " " + std::to_string(change.subType) + " " +
                  change.location + " | " + change.oldText + " | " + change.newText);
  return out;
}

std::string ReadSourceFile(const std::string& relative) {
  std::ifstream in(SourceTreePath(relative), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string TrimBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace zeb::testing
