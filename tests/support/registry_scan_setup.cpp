#include "support/registry_scan_setup.h"

#include <stdexcept>

namespace zeb::testing {

// The Registry scanners reach neither INI files nor the file system nor shortcuts.
struct RegistryScanSetup::Unused : ProfileApi, FileFinder, ShellLinkFactory, FileBytesApi {
  std::string GetString(const std::optional<std::string>&, const std::optional<std::string>&,
                        const std::string&, std::size_t, const std::string&) override {
    throw std::logic_error("profile read in a Registry scan");
  }
  bool WriteString(const std::string&, const std::optional<std::string>&,
                   const std::optional<std::string>&, const std::string&) override {
    throw std::logic_error("profile write in a Registry scan");
  }
  std::vector<FileEntry> FindAll(const std::string&) override {
    throw std::logic_error("file search in a Registry scan");
  }
  std::unique_ptr<ShellLink> Create() override {
    throw std::logic_error("shortcut in a Registry scan");
  }
  FileReadStatus ReadAll(const std::string&, std::string*) override { return Refused(); }
  bool WriteAll(const std::string&, const std::string&) override { Refused(); }
  bool Remove(const std::string&) override { Refused(); }
  bool Exists(const std::string&) override { Refused(); }
  [[noreturn]] static FileReadStatus Refused() {
    throw std::logic_error("file access in a Registry scan");
  }
};

RegistryScanSetup::RegistryScanSetup(DirectoryClient& directory, const std::string& treeName,
                                     DirContextHandle directoryContext)
    : unused_(std::make_unique<Unused>()),
      workstation{registry, *unused_, *unused_, *unused_, system, *unused_},
      changes(view, view, flags),
      names(directory, directoryContext, treeName, view),
      context{workstation, names, changes, view, flags, ProgramMode::kDereferenceAliases,
              std::string(), std::string(), std::string(), nullptr} {
  flags.promptUser = true;  // the start-up's defaults
  flags.shortcutsTicked = true;
}

RegistryScanSetup::~RegistryScanSetup() = default;

void RegistryScanSetup::UseSearchAndReplace(const std::string& search, const std::string& replace) {
  context.mode = ProgramMode::kSearchAndReplace;
  context.search = search;
  context.replace = replace;
}

std::vector<std::string> RegistryScanSetup::Changes() const {
  std::vector<std::string> out;
  for (const ChangeRec& change : changes) out.push_back(Describe(change));
  return out;
}

std::string Describe(const ChangeRec& change) {
  std::string root = change.kind == hkey::kLocalMachine ? "HKLM"
                     : change.kind == hkey::kUsers      ? "HKU"
                                                        : std::to_string(change.kind);
  return root + " " + std::to_string(change.subType) + " " + change.location + " | " +
         change.oldText + " | " + change.newText;
}

}  // namespace zeb::testing
