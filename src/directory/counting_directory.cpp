#include "directory/counting_directory.h"

namespace zeb {

namespace {

using Op = DirectoryOperation;

constexpr const char* kNames[kDirectoryOperationCount] = {
    "DefaultFullName",      "FindTree",         "SetFullName",         "FullName",
    "GetTreeName",          "FindEntry",        "DXCallsInit",         "DXVRCreateContextHandle",
    "DXVRGetContext",       "DXVRSetContext (flags)", "DXVRSetContext (name)", "ReadObjectName",
    "DXVRCanonicalizeName", "GetClientKind",    "GetClientVersion",    "FreeContext",
    "FreeUnicodeTables",    "ListAliases",
};
static_assert(static_cast<std::size_t>(Op::kListAliases) + 1 == kDirectoryOperationCount);

}  // namespace

const char* OperationName(DirectoryOperation operation) {
  return kNames[static_cast<std::size_t>(operation)];
}

std::size_t CountingDirectory::Total() const {
  std::size_t total = 0;
  for (const std::size_t count : counts_) total += count;
  return total;
}

std::size_t CountingDirectory::LookUps() const {
  return Count(Op::kFindEntry) + Count(Op::kSetContextName) + Count(Op::kReadObjectName) +
         Count(Op::kCanonicalizeName) + Count(Op::kListAliases);
}

std::string CountingDirectory::Summary() const {
  std::string text;
  for (std::size_t i = 0; i < kDirectoryOperationCount; ++i) {
    if (counts_[i] == 0) continue;
    if (!text.empty()) text += ", ";
    text += std::string(kNames[i]) + " " + std::to_string(counts_[i]);
  }
  return text;
}

std::string CountingDirectory::DefaultFullName() {
  return Counted(Op::kDefaultFullName).DefaultFullName();
}
bool CountingDirectory::FindTree(const std::string& treeName, std::string* userLeafName) {
  return Counted(Op::kFindTree).FindTree(treeName, userLeafName);
}
void CountingDirectory::SetFullName(const std::string& fullName) {
  Counted(Op::kSetFullName).SetFullName(fullName);
}
std::string CountingDirectory::FullName() { return Counted(Op::kFullName).FullName(); }
std::string CountingDirectory::GetTreeName(const std::string& fullName) {
  return Counted(Op::kGetTreeName).GetTreeName(fullName);
}
bool CountingDirectory::FindEntry(const std::string& fullName) {
  return Counted(Op::kFindEntry).FindEntry(fullName);
}
std::int32_t CountingDirectory::DXCallsInit() { return Counted(Op::kCallsInit).DXCallsInit(); }
std::int32_t CountingDirectory::DXVRCreateContextHandle(DirContextHandle* context) {
  return Counted(Op::kCreateContextHandle).DXVRCreateContextHandle(context);
}
std::int32_t CountingDirectory::DXVRGetContext(DirContextHandle context, int key,
                                               std::uint32_t* flags) {
  return Counted(Op::kGetContext).DXVRGetContext(context, key, flags);
}
std::int32_t CountingDirectory::DXVRSetContextFlags(DirContextHandle context,
                                                    std::uint32_t flags) {
  return Counted(Op::kSetContextFlags).DXVRSetContextFlags(context, flags);
}
std::int32_t CountingDirectory::DXVRSetContextName(DirContextHandle context,
                                                   const std::string& nameContext) {
  return Counted(Op::kSetContextName).DXVRSetContextName(context, nameContext);
}
std::int32_t CountingDirectory::ReadObjectName(DirContextHandle context, const std::string& leaf,
                                               std::string* objectName) {
  return Counted(Op::kReadObjectName).ReadObjectName(context, leaf, objectName);
}
std::int32_t CountingDirectory::DXVRCanonicalizeName(DirContextHandle context,
                                                     const std::string& name,
                                                     std::string* canonical) {
  return Counted(Op::kCanonicalizeName).DXVRCanonicalizeName(context, name, canonical);
}
std::uint16_t CountingDirectory::GetClientKind() {
  return Counted(Op::kGetClientKind).GetClientKind();
}
ClientVersion CountingDirectory::GetClientVersion() {
  return Counted(Op::kGetClientVersion).GetClientVersion();
}
void CountingDirectory::FreeContext(DirContextHandle context) {
  Counted(Op::kFreeContext).FreeContext(context);
}
void CountingDirectory::FreeUnicodeTables() { Counted(Op::kFreeUnicodeTables).FreeUnicodeTables(); }
bool CountingDirectory::ListAliases(std::vector<DirectoryAlias>* aliases) {
  return Counted(Op::kListAliases).ListAliases(aliases);
}

}  // namespace zeb
