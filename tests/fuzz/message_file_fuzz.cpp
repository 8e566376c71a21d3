// The message file's environment expansion: any line and any environment ends, with output
// within the stated bound, and gives what the straightforward (quadratic) reading gives.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>

#include "app/message_file.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/reference_expansion.h"
#include "platform/memory/memory_system.h"

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
    FUZZ_CHECK(expanded == zeb::reference::ExpandEnvironmentInLine(line, system));
  return 0;
}
