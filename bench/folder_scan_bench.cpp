// Times the INI scan and the shortcut walk over one folder tree, against the real file search,
// profile functions and shell object. Usage: folder_scan_bench ROOT [SEARCH_TEXT] [RUNS]
// Prints one line per walk: its time in ms (fastest and median of RUNS), the changes it
// proposed and the status texts it set. See bench/README.md and bench/folder-scan.sh.
#ifdef _WIN32

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "changes/change_list.h"
#include "directory/names.h"
#include "platform/win32/win32_workstation.h"
#include "scan/ini_scanner.h"
#include "scan/shortcut_scanner.h"
#include "scan_bench_support.h"

namespace {

using namespace zeb;

struct RunResult {
  double ms;
  std::size_t changes;
  long statusSets;
};

// One walk as the scan run makes it in "Search and Replace" (no directory look-ups), outside
// stealth mode, so that every status text is set.
RunResult TimeOneWalk(const std::function<void(ScanContext&)>& walk, const std::string& search) {
  Win32Workstation platform;
  QueueOnlyView view;
  EmptyDirectory directory;
  RunFlags flags;
  flags.promptUser = true;
  flags.shortcutsTicked = true;
  ChangeList changes(view, view, flags);
  DirectoryNames names(directory, 1, "ACME_TREE", view);
  const std::unique_ptr<ShellLink> link = platform.shellLinks.Create();
  ScanContext context{platform.seams, names, changes, view, flags, ProgramMode::kSearchAndReplace,
                      search, "Replaced", std::string(), link.get()};

  const auto start = std::chrono::steady_clock::now();
  walk(context);
  const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
  return {elapsed.count(), changes.size(), view.statusPaints};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Report(const char* label, const std::function<void(ScanContext&)>& walk,
            const std::string& search, int runs) {
  std::vector<double> times;
  RunResult last{};
  for (int i = 0; i < runs; ++i) {
    last = TimeOneWalk(walk, search);
    times.push_back(last.ms);
  }
  std::printf("%s min_ms=%.1f median_ms=%.1f changes=%zu status_sets=%ld\n", label,
              *std::min_element(times.begin(), times.end()), Median(times), last.changes,
              last.statusSets);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: folder_scan_bench ROOT [SEARCH_TEXT] [RUNS]\n");
    return 2;
  }
  const std::string root = argv[1];
  const std::string search = argc > 2 ? argv[2] : "AcmeNeedle";
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 1;
  Report("ini", [&](ScanContext& context) { ScanIniFiles(context, root); }, search, runs);
  Report("shortcut", [&](ScanContext& context) { ShortcutScan(context, "BENCH", root); }, search,
         runs);
  return 0;
}

#else

#include <cstdio>

int main() {
  std::puts("folder_scan_bench: Windows only (it times the real file search)");
  return 0;
}

#endif
