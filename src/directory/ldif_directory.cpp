#include "directory/ldif_directory.h"

#include <string_view>

#include "directory/client_names.h"
#include "directory/ldif_result.h"
#include "directory/names.h"
#include "platform/code_page_1252.h"
#include "platform/text.h"

namespace zeb {

LdifDirectory::LdifDirectory(const DirectoryConfig& config)
    : LdifDirectory(config, SplitLdifLocation(config.directoryPath)) {}

LdifDirectory::LdifDirectory(const DirectoryConfig& config, const LdifLocation& location)
    : LdifDirectory(ReadLdifFile(location.file), config.treeName, config.userName,
                    location.base) {}

LdifDirectory::LdifDirectory(const LdifContent& content, const std::string& treeName,
                             const std::string& userName, const std::string& base)
    : userName_(userName) {
  const DirectoryTree::LoadOutcome outcome = tree_.Load(content, base);
  loadResult_ = outcome.code;
  if (outcome.code != dirresult::kOk) lastError_ = outcome.problem.Text();
  treeName_ = treeName.empty() ? tree_.DeclaredTreeName() : treeName;
}

void LdifDirectory::SetClientIdentity(std::uint16_t kind, ClientVersion version) {
  clientKind_ = kind;
  clientVersion_ = version;
}

std::int32_t LdifDirectory::InjectedFailure(Call call) const {
  const auto it = failures_.find(call);
  return it == failures_.end() ? dirresult::kOk : it->second;
}

const DirectoryTree::Entry* LdifDirectory::FindDotted(const std::string& dotted,
                                                      bool followLast) const {
  return tree_.Find(DottedRootFirst(dotted), followLast);
}

// The logged-in user's own entry (an alias stays itself: that is the name logged in with).
const DirectoryTree::Entry* LdifDirectory::UserEntry() const {
  return userName_.empty() ? nullptr : FindDotted(userName_, false);
}

std::string LdifDirectory::DefaultFullName() {
  const DirectoryTree::Entry* user = UserEntry();
  std::string path;
  if (!user || !DirectoryTree::PathOf(*user, &path)) path = DottedToPath(userName_);
  return FullNameOfPath(treeName_, path);
}

bool LdifDirectory::FindTree(const std::string& treeName, std::string* userLeafName) {
  if (!EqualsIgnoreCase(treeName, treeName_)) return false;
  const DirectoryTree::Entry* user = UserEntry();
  // As the directory spells it.
  if (!user || !DirectoryTree::NameOf(*user, userLeafName)) *userLeafName = LeafOfUserName(userName_);
  return true;
}

std::string LdifDirectory::GetTreeName(const std::string& fullName) {
  return TreeOfFullName(fullName);
}

bool LdifDirectory::FindEntry(const std::string& fullName) {
  std::string_view tree;
  std::vector<std::string_view> rootFirst;
  if (!SplitFullName(fullName, &tree, &rootFirst)) return false;
  if (!EqualsIgnoreCase(tree, treeName_)) return false;
  return tree_.Find(rootFirst, false) != nullptr;
}

std::int32_t LdifDirectory::DXCallsInit() {
  if (const std::int32_t failure = InjectedFailure(Call::kCallsInit)) return failure;
  if (loadResult_ != dirresult::kOk) return loadResult_;
  initialised_ = true;
  return dirresult::kOk;
}

std::int32_t LdifDirectory::DXVRCreateContextHandle(DirContextHandle* context) {
  *context = 0;
  if (const std::int32_t failure = InjectedFailure(Call::kCreateContextHandle)) return failure;
  return contexts_.Create(initialised_, context);
}

std::int32_t LdifDirectory::DXVRGetContext(DirContextHandle context, int key,
                                           std::uint32_t* flags) {
  if (const std::int32_t failure = InjectedFailure(Call::kGetContext)) return failure;
  return contexts_.GetFlags(context, key, flags);
}

std::int32_t LdifDirectory::DXVRSetContextFlags(DirContextHandle context, std::uint32_t flags) {
  if (const std::int32_t failure = InjectedFailure(Call::kSetContextFlags)) return failure;
  return contexts_.SetFlags(context, flags);
}

std::int32_t LdifDirectory::DXVRSetContextName(DirContextHandle context,
                                               const std::string& nameContext) {
  if (const std::int32_t failure = InjectedFailure(Call::kSetContextName)) return failure;
  return contexts_.SetName(context, nameContext);
}

std::int32_t LdifDirectory::ReadObjectName(DirContextHandle context, const std::string& leaf,
                                           std::string* objectName) {
  if (const std::int32_t failure = InjectedFailure(Call::kReadObjectName)) return failure;
  std::int32_t result = dirresult::kOk;
  const ContextTable::Context* state = contexts_.Find(context, &result);
  if (!state) return result;
  const std::string name = state->nameContext.empty() ? leaf : leaf + "." + state->nameContext;
  const DirectoryTree::Entry* entry = leaf.empty() ? nullptr : FindDotted(name, false);
  if (!entry) return dirresult::kNoSuchEntry;
  if (entry->isAlias) entry = entry->aliased;
  if (!entry) return dirresult::kAliasToNothing;
  return WriteDottedName(*entry, state->flags, objectName);
}

std::int32_t LdifDirectory::WriteDottedName(const DirectoryTree::Entry& entry,
                                            std::uint32_t flags, std::string* name) {
  // The tree itself has no dotted name.
  if (!entry.parent) return dirresult::kNoSuchEntry;
  if (!DirectoryTree::DottedName(entry, !(flags & kTypelessNamesFlag), name))
    return dirresult::kNameNotWritable;
  return dirresult::kOk;
}

std::int32_t LdifDirectory::DXVRCanonicalizeName(DirContextHandle context,
                                                 const std::string& name,
                                                 std::string* canonical) {
  if (const std::int32_t failure = InjectedFailure(Call::kCanonicalizeName)) return failure;
  std::int32_t result = dirresult::kOk;
  const ContextTable::Context* state = contexts_.Find(context, &result);
  if (!state) return result;
  const DirectoryTree::Entry* entry = FindDotted(name, false);
  if (!entry) return dirresult::kNoSuchEntry;
  return WriteDottedName(*entry, state->flags, canonical);
}

bool LdifDirectory::ListAliases(std::vector<DirectoryAlias>* aliases) {
  if (!initialised_) return false;
  aliases->clear();
  for (const DirectoryTree::Entry* alias : tree_.Aliases()) {
    DirectoryAlias listed;
    if (!DirectoryTree::ComponentsOf(*alias, &listed.name)) continue;
    for (const Rdn& rdn : alias->target) {
      std::string value;
      if (!Utf8ToAnsi(rdn.value, &value)) {
        listed.target.clear();
        break;
      }
      listed.target.push_back(value);
    }
    aliases->push_back(std::move(listed));
  }
  return true;
}

void LdifDirectory::FreeContext(DirContextHandle context) { contexts_.Free(context); }

}  // namespace zeb
