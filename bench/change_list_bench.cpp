// Times AddChange over a large scan: 100,000 distinct changes plus re-found duplicates.
// Usage: change_list_bench [count]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "changes/change_list.h"

namespace {

// Windows that cost nothing, so that only the list itself is timed.
class NullView : public zeb::ProgressView, public zeb::CheckList {
 public:
  void SetStatus(zeb::StatusLine, const std::string&) override {}
  std::string StatusText(zeb::StatusLine) override { return {}; }
  void ProcessMessages() override {}
  void RepaintList() override {}
  void SetCursor(zeb::Cursor) override {}
  zeb::Cursor CurrentCursor() override { return zeb::Cursor::kDefault; }
  void AppendLine(const std::string&, bool) override { ++lines_; }
  std::size_t LineCount() override { return lines_; }
  bool IsTicked(std::size_t) override { return true; }
  bool IsEnabled() override { return true; }

 private:
  std::size_t lines_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::atol(argv[1]) : 100000;
  NullView view;
  zeb::RunFlags flags;
  flags.shortcutsTicked = true;
  flags.stealthMode = true;  // the splash counter is updated on every line, as in a login run
  zeb::ChangeList changes(view, view, flags);

  const auto start = std::chrono::steady_clock::now();
  long refused = 0;
  for (long i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    changes.AddChange(0x80000002u, zeb::kChangeVariableContents,
                      "\\SOFTWARE\\Varnok\\Login\\History\\Key" + std::to_string(i / 50),
                      "Value" + n, "CN=User" + n + ".OU=Sales.O=Acme");
    // Every tenth change is found a second time, in another letter case.
    if (i % 10 == 0 &&
        !changes.AddChange(0x80000002u, zeb::kChangeVariableContents,
                           "\\software\\varnok\\login\\history\\key" + std::to_string(i / 50),
                           "VALUE" + n, "cn=user" + n + ".ou=sales.o=acme"))
      ++refused;
  }
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();

  std::printf("%zu changes listed, %ld duplicates refused, %.1f ms\n", changes.size(), refused, ms);
  return changes.size() == static_cast<std::size_t>(count) ? 0 : 1;
}
