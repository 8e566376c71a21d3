#pragma once
// A scan context over the in-memory file system, INI files and shortcuts, a recording view
// and the sample directory (tree ACME_TREE), for the shortcut and INI scanners' tests.
// Changes read back as one line each.
#include <memory>
#include <string>
#include <vector>

#include "changes/change_list.h"
#include "directory/ldif_directory.h"
#include "directory/names.h"
#include "platform/memory/memory_file_finder.h"
#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_file_bytes.h"
#include "platform/memory/memory_profiles.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/memory_shell_links.h"
#include "platform/memory/memory_system.h"
#include "scan/scan_context.h"
#include "support/recording_view.h"

namespace zeb::testing {

// samples/acme/directory.ldif brought up as the start-up does (typeless names), with a log
// of the entry look-ups so that tests can see when the directory was asked at all.
class SampleDirectory : public LdifDirectory {
 public:
  SampleDirectory();  // std::runtime_error when the sample cannot be loaded
  bool FindEntry(const std::string& fullName) override;

  DirContextHandle context = 0;
  std::vector<std::string> lookups;
};

class FileScanSetup {
 public:
  FileScanSetup();
  ~FileScanSetup();

  void UseSearchAndReplace(const std::string& search, const std::string& replace);
  // Another shortcut object in place of the memory backend's.
  void UseShellLink(ShellLink& link) { context.shellLink = &link; }

  // "<kind> <subType> <location> | <old> | <new>", in list order.
  std::vector<std::string> Changes() const;

  MemoryFileSystem files;
  MemoryFileFinder finder{files};
  MemoryProfiles profiles{files};
  MemoryShellLinkFactory shellLinks{files};
  MemoryRegistry registry;
  MemorySystem system;
  MemoryFileBytes fileBytes{files};
  RecordingView view;
  RunFlags flags;
  SampleDirectory directory;
  Workstation workstation;
  ChangeList changes;
  DirectoryNames names;
  std::unique_ptr<ShellLink> shellLink;
  ScanContext context;
};

// The bytes of a file of the source tree ("samples/acme/shortcuts.txt"); empty when missing.
std::string ReadSourceFile(const std::string& relative);
// Without the blanks, tabs and carriage returns at either end: for the samples' "a | b" lines.
std::string TrimBlanks(const std::string& text);

}  // namespace zeb::testing
