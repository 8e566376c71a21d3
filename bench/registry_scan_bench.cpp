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
#include "scan_bench_support.h"

namespace {

using namespace zeb;

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
