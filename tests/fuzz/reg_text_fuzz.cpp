// The memory backend's .reg reader: any text gives its edits or is refused with the number
// of the line at fault; the edits import, and the last value set is there to read.
#include <stdexcept>
#include <string>

#include "fuzz/fuzz_check.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/reg_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<zeb::RegTextEdit> edits;
  try {
    edits = zeb::ParseRegText(text);
  } catch (const std::runtime_error& error) {
    FUZZ_CHECK(std::string(error.what()).find(" at line ") != std::string::npos);
    return 0;
  }
  for (const zeb::RegTextEdit& edit : edits)
    FUZZ_CHECK(edit.path.empty() || edit.path.front() != '\\');
  zeb::MemoryRegistry registry;
  registry.ImportRegText(text);
  if (!edits.empty() && edits.back().action == zeb::RegTextEdit::Action::kSetValue) {
    const zeb::RegTextEdit& last = edits.back();
    const std::optional<zeb::RegValue> value =
        registry.GetValue(last.root, last.path, last.value.name);
    FUZZ_CHECK(value && value->type == last.value.type && value->data == last.value.data);
  }
  return 0;
}
