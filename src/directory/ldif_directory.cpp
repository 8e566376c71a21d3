#include "directory/ldif_directory.h"

#include <algorithm>
#include <string_view>

#include "directory/ldif_result.h"
#include "directory/name_components.h"
#include "directory/names.h"
#include "platform/code_page_1252.h"
#include "platform/text.h"

namespace zeb {

namespace {

constexpr std::string_view kFullNamePrefix = "VRX:\\\\";
constexpr std::size_t kMaxNameContext = 256;

// Components root first of a dotted name counted from the root.
std::vector<std::string_view> RootFirst(std::string_view dotted) {
  const std::size_t start = dotted.find_first_not_of('.');
  std::vector<std::string_view> components =
      SplitAt(start == std::string_view::npos ? std::string_view() : dotted.substr(start), '.');
  std::reverse(components.begin(), components.end());
  return components;
}

}  // namespace

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

LdifDirectory::ContextState* LdifDirectory::FindContext(DirContextHandle context,
                                                        std::int32_t* result) {
  const auto it = contexts_.find(context);
  if (it == contexts_.end()) {
    *result = dirresult::kUnknownContext;
    return nullptr;
  }
  return &it->second;
}

const DirectoryTree::Entry* LdifDirectory::FindDotted(const std::string& dotted,
                                                      bool followLast) const {
  return tree_.Find(RootFirst(dotted), followLast);
}

// The logged-in user's own entry (an alias stays itself: that is the name logged in with).
const DirectoryTree::Entry* LdifDirectory::UserEntry() const {
  return userName_.empty() ? nullptr : FindDotted(userName_, false);
}

std::string LdifDirectory::DefaultFullName() {
  const DirectoryTree::Entry* user = UserEntry();
  std::string path;
  if (!user || !DirectoryTree::PathOf(*user, &path)) path = DottedToPath(userName_);
  return std::string(kFullNamePrefix) + treeName_ + path;
}

bool LdifDirectory::FindTree(const std::string& treeName, std::string* userLeafName) {
  if (!EqualsIgnoreCase(treeName, treeName_)) return false;
  const DirectoryTree::Entry* user = UserEntry();
  if (user && DirectoryTree::NameOf(*user, userLeafName)) {
    // As the directory spells it.
  } else {
    const std::string_view name = std::string_view(userName_).substr(
        std::min(userName_.find_first_not_of('.'), userName_.size()));
    *userLeafName = StripNameType(name.substr(0, name.find('.')));
  }
  return true;
}

std::string LdifDirectory::GetTreeName(const std::string& fullName) {
  if (!StartsWithIgnoreCase(fullName, kFullNamePrefix)) return {};
  const std::string rest = fullName.substr(kFullNamePrefix.size());
  return rest.substr(0, rest.find('\\'));
}

bool LdifDirectory::FindEntry(const std::string& fullName) {
  // The control also takes a full name without its "VRX:" letters ("\\TREE\O\OU"): the
  // scanners look tree paths of that form up before they put the prefix in front.
  std::string_view rest = fullName;
  if (StartsWithIgnoreCase(rest, kFullNamePrefix))
    rest.remove_prefix(kFullNamePrefix.size());
  else if (rest.substr(0, 2) == "\\\\")
    rest.remove_prefix(2);
  else
    return false;
  const std::size_t slash = rest.find('\\');
  if (!EqualsIgnoreCase(rest.substr(0, slash), treeName_)) return false;
  // Nothing after the tree's name: the tree itself.
  const std::vector<std::string_view> rootFirst =
      slash == std::string_view::npos ? std::vector<std::string_view>()
                                      : SplitAt(rest.substr(slash + 1), '\\');
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
  if (!initialised_) return dirresult::kNotInitialised;
  *context = nextContext_++;
  contexts_[*context] = ContextState{};
  return dirresult::kOk;
}

std::int32_t LdifDirectory::DXVRGetContext(DirContextHandle context, int key,
                                           std::uint32_t* flags) {
  if (const std::int32_t failure = InjectedFailure(Call::kGetContext)) return failure;
  std::int32_t result = dirresult::kOk;
  const ContextState* state = FindContext(context, &result);
  if (!state) return result;
  if (key != contextkey::kFlags) return dirresult::kUnknownContextKey;
  *flags = state->flags;
  return dirresult::kOk;
}

std::int32_t LdifDirectory::DXVRSetContextFlags(DirContextHandle context, std::uint32_t flags) {
  if (const std::int32_t failure = InjectedFailure(Call::kSetContextFlags)) return failure;
  std::int32_t result = dirresult::kOk;
  ContextState* state = FindContext(context, &result);
  if (!state) return result;
  state->flags = flags;
  return dirresult::kOk;
}

std::int32_t LdifDirectory::DXVRSetContextName(DirContextHandle context,
                                               const std::string& nameContext) {
  if (const std::int32_t failure = InjectedFailure(Call::kSetContextName)) return failure;
  std::int32_t result = dirresult::kOk;
  ContextState* state = FindContext(context, &result);
  if (!state) return result;
  if (nameContext.size() > kMaxNameContext) return dirresult::kNameTooLong;
  state->nameContext = nameContext;
  return dirresult::kOk;
}

std::int32_t LdifDirectory::ReadObjectName(DirContextHandle context, const std::string& leaf,
                                           std::string* objectName) {
  if (const std::int32_t failure = InjectedFailure(Call::kReadObjectName)) return failure;
  std::int32_t result = dirresult::kOk;
  const ContextState* state = FindContext(context, &result);
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
  const ContextState* state = FindContext(context, &result);
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

void LdifDirectory::FreeContext(DirContextHandle context) {
  freedContexts_.push_back(context);
  contexts_.erase(context);
}

}  // namespace zeb
