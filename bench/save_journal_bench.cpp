// Times Save in stealth mode of N value changes without and with "/JOURNAL=", round-robin in
// one run, so that both meet the same machine. Usage: save_journal_bench [N] [RUNS]
// On Windows (or Wine) over the real Registry (HKEY_CURRENT_USER\Software\ZebBench, made and
// removed by the benchmark) and a journal file in %TEMP% flushed with FlushFileBuffers; in the
// native build over the memory backend. Prints each run, the medians and their ratio.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "changes/change_list.h"
#include "changes/save.h"
#include "platform/registry.h"
#ifdef _WIN32
#include "platform/win32/win32_append_file.h"
#include "platform/win32/win32_workstation.h"
#else
#include "platform/memory/memory_append_file.h"
#include "support/memory_workstation.h"
#endif

namespace {

using namespace zeb;

class QuietView : public ProgressView, public CheckList, public MessageBoxes {
 public:
  void SetStatus(StatusLine, const std::string&) override {}
  std::string StatusText(StatusLine) override { return {}; }
  void ProcessMessages() override {}
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

 private:
  std::size_t lines_ = 0;
};

// The system's facts, but the Windows 9x branch: no spooler is stopped by a benchmark.
class NoSpoolerSystem : public SystemApi {
 public:
  explicit NoSpoolerSystem(SystemApi& below) : below_(below) {}
  int PlatformId() override { return platformid::kWindows9x; }
  std::string WindowsDirectory() override { return below_.WindowsDirectory(); }
  std::optional<std::string> EnvironmentVariable(const std::string& name) override {
    return below_.EnvironmentVariable(name);
  }
  void WinExec(const std::string&, int) override {}
  void Sleep(unsigned) override {}
  void RequestRestart() override {}
  std::string CommandLine() override { return below_.CommandLine(); }
  Date Today() override { return below_.Today(); }
  std::string ShortDateFormat() override { return below_.ShortDateFormat(); }
  std::string ComputerName() override { return below_.ComputerName(); }
  std::string LocalTimestamp() override { return below_.LocalTimestamp(); }
  bool RandomBytes(std::size_t count, std::string* bytes) override {
    return below_.RandomBytes(count, bytes);
  }

 private:
  SystemApi& below_;
};

constexpr char kKey[] = "\\Software\\ZebBench";

#ifdef _WIN32
struct Platform {
  Win32Workstation real;
  NoSpoolerSystem system{real.system};
  Workstation workstation{real.registry, real.profiles, real.files, real.shellLinks, system,
                          real.fileBytes};
  Win32AppendFiles journals;
  std::string journalPath =
      real.system.EnvironmentVariable("TEMP").value_or("C:\\windows\\temp") + "\\zebbench.jnl";
  RegKey root = hkey::kCurrentUser;
};
#else
struct Platform : testing::MemoryWorkstation {
  NoSpoolerSystem system{facts};
  Workstation workstation{registry, profiles, finder, shellLinks, system, fileBytes};
  MemoryAppendFiles journals;
  std::string journalPath = "C:\\zebbench.jnl";
  RegKey root = hkey::kCurrentUser;
};
#endif

double SaveMs(Platform& p, int n, const std::string& text, bool journaled) {
  QuietView view;
  RunFlags flags;
  flags.stealthMode = true;
  flags.promptUser = false;
  ChangeList changes(view, view, flags);
  for (int i = 0; i < n; ++i)
    changes.AddChange(static_cast<std::uint32_t>(p.root), kChangeVariableContents, kKey,
                      "Value" + std::to_string(i), text + std::to_string(i));
  SaveInputs inputs{p.workstation, changes, view, view, view, flags, {}, nullptr,
                    journaled ? p.journalPath : std::string(), &p.journals};
  const auto start = std::chrono::steady_clock::now();
  const SaveResult result = SaveChanges(inputs);
  const auto end = std::chrono::steady_clock::now();
  if (result.ending != SaveEnding::kCompleted) {
    std::fprintf(stderr, "Save failed: %s\n", result.error.c_str());
    std::exit(1);
  }
  return std::chrono::duration<double, std::milli>(end - start).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  Platform p;
  {
    Registry registry(p.workstation.registry, p.root);
    if (!registry.OpenKey(kKey, true)) return 1;
    for (int i = 0; i < n; ++i) registry.WriteString("Value" + std::to_string(i), "start");
  }
  std::vector<double> plain, journaled;
  for (int run = 0; run < runs; ++run) {
    // Each Save changes every value, so that both write the same amount.
    plain.push_back(SaveMs(p, n, run % 2 ? "a" : "b", false));
    journaled.push_back(SaveMs(p, n, run % 2 ? "c" : "d", true));
    std::printf("run %d: without %.1f ms, with journal %.1f ms\n", run + 1, plain.back(),
                journaled.back());
  }
  DeleteTree(p.workstation.registry, p.root, kKey + 1);
  std::printf("values=%d runs=%d median without=%.1f ms with=%.1f ms ratio=%.2f\n", n, runs,
              Median(plain), Median(journaled), Median(journaled) / Median(plain));
  return 0;
}
