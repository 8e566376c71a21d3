#pragma once
// The per-computer key that signs journals: random bytes kept in HKEY_LOCAL_MACHINE under the
// program's own key, which only administrators and the system may open. A journal planted by
// anyone else, or brought from another computer, does not verify with it.
#include <optional>
#include <string>

#include "platform/registry_api.h"
#include "platform/system_api.h"

namespace zeb {

constexpr char kJournalKeyPath[] = "\\Software\\Varnok\\Consulting\\ZEB\\Journal";
constexpr char kJournalKeyValue[] = "Key";
constexpr std::size_t kJournalKeyBytes = 32;

enum class JournalKeyStatus { kFound, kNotFound, kFailed };

struct JournalKeyResult {
  JournalKeyStatus status = JournalKeyStatus::kFailed;
  std::string key;  // with kFound
};

// The key as it is; kNotFound when this computer has never written a journal.
JournalKeyResult ReadJournalKey(RegistryApi& registry);
// The key, made (and its Registry key restricted) the first time a journal is written.
JournalKeyResult JournalKeyForWriting(RegistryApi& registry, SystemApi& system);

}  // namespace zeb
