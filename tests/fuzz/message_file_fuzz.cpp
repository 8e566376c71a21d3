// The message file's environment expansion: any line and any environment ends, with output
// within the stated bound, and gives what the straightforward (quadratic) reading gives.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>

#include "app/message_file.h"
#include "fuzz/fuzz_check.h"
#include "platform/memory/memory_system.h"

namespace {

// The expansion as first written: one pass per percent sign over the whole line. Slow on
// long lines, so only short cases are compared with it.
std::string ReferenceExpansion(std::string line, zeb::SystemApi& system) {
  int valuesInserted = 0;
  for (std::size_t p = line.find('%'); p != std::string::npos; p = line.find('%')) {
    line.erase(p, 1);
    const std::size_t q = line.find('%', p);
    if (q == std::string::npos) continue;
    line.erase(q, 1);
    const std::string name = line.substr(p, q - p);
    if (name.empty() || valuesInserted == zeb::kMaxValuesPerLine) continue;
    const auto value = system.EnvironmentVariable(name);
    if (!value || value->empty()) continue;
    line.replace(p, name.size(), *value);
    ++valuesInserted;
  }
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  zeb::MemorySystem system;
  // A few short names, so that lines often name them; values may be long and name them.
  const int variables = input.ConsumeIntegralInRange(0, 4);
  std::size_t longest = 0;
  for (int i = 0; i < variables; ++i) {
    const std::string name = input.ConsumeRandomLengthString(4);
    std::string value = input.ConsumeRandomLengthString(64);
    // Sometimes a value repeated up to the platform's 32,767-character limit.
    const int repeats = input.ConsumeIntegralInRange(0, 600);
    if (repeats > 1 && !value.empty()) {
      std::string grown;
      while (grown.size() + value.size() < 32767 && repeats * value.size() > grown.size())
        grown += value;
      value = grown;
    }
    longest = std::max(longest, value.size());
    system.environment[name] = value;
  }
  const std::string line = input.ConsumeRemainingBytesAsString();

  const std::string expanded = zeb::ExpandEnvironmentInLine(line, system);
  FUZZ_CHECK(expanded.size() <= line.size() + zeb::kMaxValuesPerLine * longest);
  if (line.size() + zeb::kMaxValuesPerLine * longest <= 4096)
    FUZZ_CHECK(expanded == ReferenceExpansion(line, system));
  return 0;
}
