#include "platform/memory/memory_system.h"

#include "platform/sha256.h"
#include "platform/text.h"

namespace zeb {

std::optional<std::string> MemorySystem::EnvironmentVariable(const std::string& name) {
  for (const auto& [key, value] : environment)
    if (EqualsIgnoreCase(key, name)) return value;
  return std::nullopt;
}

void MemorySystem::WinExec(const std::string& command, int showState) {
  commands.push_back(command + (showState == 0 ? "" : " (shown)"));
}

bool MemorySystem::RandomBytes(std::size_t count, std::string* bytes) {
  if (randomFails) return false;
  bytes->clear();
  while (bytes->size() < count) {
    const Sha256Digest block =
        Sha256Of(computerName + "\n" + std::to_string(randomCalls) + "\n" +
                 std::to_string(bytes->size()));
    bytes->append(reinterpret_cast<const char*>(block.data()), block.size());
  }
  bytes->resize(count);
  ++randomCalls;
  return true;
}

}  // namespace zeb
