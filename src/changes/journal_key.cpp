#include "changes/journal_key.h"

#include "platform/registry.h"

namespace zeb {
namespace {

// Skips the leading "\", as the Registry calls want their subkeys.
std::string SubKey() { return std::string(kJournalKeyPath + 1); }

}  // namespace

JournalKeyResult ReadJournalKey(RegistryApi& registry) {
  RegKey raw = 0;
  const long opened = registry.OpenKey(hkey::kLocalMachine, SubKey(), KeyAccess::kAll, &raw);
  if (opened == winerr::kFileNotFound) return {JournalKeyStatus::kNotFound, {}};
  if (opened != winerr::kSuccess) return {JournalKeyStatus::kFailed, {}};
  const KeyHandle key(registry, raw);
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  const long read = registry.QueryValue(key.get(), kJournalKeyValue, &type, &data);
  if (read == winerr::kFileNotFound) return {JournalKeyStatus::kNotFound, {}};
  if (read != winerr::kSuccess || type != regtype::kBinary || data.size() != kJournalKeyBytes)
    return {JournalKeyStatus::kFailed, {}};
  return {JournalKeyStatus::kFound, std::string(data.begin(), data.end())};
}

JournalKeyResult JournalKeyForWriting(RegistryApi& registry, SystemApi& system) {
  JournalKeyResult existing = ReadJournalKey(registry);
  if (existing.status != JournalKeyStatus::kNotFound) return existing;
  std::string bytes;
  if (!system.RandomBytes(kJournalKeyBytes, &bytes) || bytes.size() != kJournalKeyBytes)
    return {JournalKeyStatus::kFailed, {}};
  RegKey raw = 0;
  if (registry.CreateKey(hkey::kLocalMachine, SubKey(), &raw) != winerr::kSuccess)
    return {JournalKeyStatus::kFailed, {}};
  const KeyHandle key(registry, raw);
  // Restricted before the secret goes in, so that it is never readable by others.
  if (registry.RestrictToAdministrators(key.get()) != winerr::kSuccess ||
      registry.SetValue(key.get(), kJournalKeyValue, regtype::kBinary,
                        std::vector<std::uint8_t>(bytes.begin(), bytes.end())) != winerr::kSuccess)
    return {JournalKeyStatus::kFailed, {}};
  return {JournalKeyStatus::kFound, bytes};
}

}  // namespace zeb
