// Times the Registry tree search over one subtree, in both modes, against the real Registry
// functions. Usage: registry_scan_bench [ROOT_PATH] [SEARCH_TEXT] [RUNS]
//   ROOT_PATH below HKEY_LOCAL_MACHINE, e.g. "\Software\Bench" (the default)
// Prints one line per mode: the walk's time in ms (fastest and median of RUNS) and the number
// of changes it proposed. See bench/README.md and bench/registry-scan.sh.
#ifdef _WIN32

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "changes/change_list.h"
#include "directory/names.h"
#include "platform/win32/win32_workstation.h"
#include "scan/registry_search.h"

namespace {

using namespace zeb;

// The scan run's view without windows: messages are still taken from the queue once per key,
// as the program's window does; status lines and the list cost nothing.
class QueueOnlyView : public ProgressView, public CheckList, public MessageBoxes {
 public:
  void SetStatus(StatusLine, const std::string&) override { ++statusPaints; }
  std::string StatusText(StatusLine) override { return {}; }
  void ProcessMessages() override {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  void RepaintList() override {}
  void SetCursor(Cursor) override {}
  Cursor CurrentCursor() override { return Cursor::kDefault; }
  void AppendLine(const std::string&, bool) override { ++lines_; }
  std::size_t LineCount() override { return lines_; }
  bool IsTicked(std::size_t) override { return true; }
  bool IsEnabled() override { return true; }
  void ShowMessage(const std::string&) override {}
  void ShowError(const std::string&) override {}
  bool ConfirmInformation(const std::string&) override { return true; }
  bool ConfirmWarning(const std::string&) override { return true; }

  long statusPaints = 0;

 private:
  std::size_t lines_ = 0;
};

// A directory in which no name is found: "Dereference Aliases" then costs the walk and the
// text tests, plus a lookup for each candidate that passes them.
class EmptyDirectory : public DirectoryClient {
 public:
  long lookups = 0;
  std::string DefaultFullName() override { return {}; }
  bool FindTree(const std::string&, std::string*) override { return false; }
  void SetFullName(const std::string&) override {}
  std::string FullName() override { return {}; }
  std::string GetTreeName(const std::string&) override { return "ACME_TREE"; }
  bool FindEntry(const std::string&) override {
    ++lookups;
    return false;
  }
  std::int32_t DXCallsInit() override { return 0; }
  std::int32_t DXVRCreateContextHandle(DirContextHandle* context) override {
    *context = 1;
    return 0;
  }
  std::int32_t DXVRGetContext(DirContextHandle, int, std::uint32_t* flags) override {
    *flags = kTypelessNamesFlag;
    return 0;
  }
  std::int32_t DXVRSetContextFlags(DirContextHandle, std::uint32_t) override { return 0; }
  std::int32_t DXVRSetContextName(DirContextHandle, const std::string&) override { return 0; }
  std::int32_t ReadObjectName(DirContextHandle, const std::string&, std::string*) override {
    return -601;
  }
  std::int32_t DXVRCanonicalizeName(DirContextHandle, const std::string&, std::string*) override {
    return -601;
  }
  std::uint16_t GetClientKind() override { return 4; }
  ClientVersion GetClientVersion() override { return {5, 2, 0, 0}; }
  void FreeContext(DirContextHandle) override {}
  void FreeUnicodeTables() override {}
  bool ListAliases(std::vector<DirectoryAlias>* aliases) override {
    aliases->clear();
    return true;
  }
};

struct RunResult {
  double ms;
  std::size_t changes;
  long lookups;
  long statusPaints;
};

RunResult TimeOneWalk(ProgramMode mode, const std::string& rootPath, const std::string& search) {
  Win32Workstation platform;
  QueueOnlyView view;
  EmptyDirectory directory;
  RunFlags flags;
  flags.promptUser = true;
  flags.shortcutsTicked = true;
  ChangeList changes(view, view, flags);
  DirectoryNames names(directory, 1, "ACME_TREE", view);
  ScanContext context{platform.seams, names, changes, view, flags, mode, search, "Replaced",
                      std::string(), nullptr};

  const auto start = std::chrono::steady_clock::now();
  SearchRegistryTree(context, hkey::kLocalMachine, rootPath);
  const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
  return {elapsed.count(), changes.size(), directory.lookups, view.statusPaints};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Report(const char* label, ProgramMode mode, const std::string& rootPath,
            const std::string& search, int runs) {
  std::vector<double> times;
  RunResult last{};
  for (int i = 0; i < runs; ++i) {
    last = TimeOneWalk(mode, rootPath, search);
    times.push_back(last.ms);
  }
  std::printf("%s min_ms=%.1f median_ms=%.1f changes=%zu lookups=%ld status_paints=%ld\n", label,
              *std::min_element(times.begin(), times.end()), Median(times), last.changes,
              last.lookups, last.statusPaints);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string rootPath = argc > 1 ? argv[1] : "\\Software\\Bench";
  const std::string search = argc > 2 ? argv[2] : "AcmeNeedle";
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 1;
  Report("search_replace", ProgramMode::kSearchAndReplace, rootPath, search, runs);
  Report("dereference", ProgramMode::kDereferenceAliases, rootPath, search, runs);
  return 0;
}

#else

#include <cstdio>

int main() {
  std::puts("registry_scan_bench: Windows only (it times the real Registry functions)");
  return 0;
}

#endif
