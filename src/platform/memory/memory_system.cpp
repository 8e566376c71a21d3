#include "platform/memory/memory_system.h"

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

}  // namespace zeb
