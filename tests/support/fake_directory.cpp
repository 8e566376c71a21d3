#include "support/fake_directory.h"

namespace zeb::testing {

void FakeDirectory::Log(const std::string& call) {
  if (log_) log_->push_back(call);
}

std::string FakeDirectory::DefaultFullName() {
  Log("DefaultFullName");
  return defaultFullName;
}

bool FakeDirectory::FindTree(const std::string& treeName, std::string* userLeafName) {
  Log("FindTree(" + treeName + ")");
  const auto found = treeUsers.find(treeName);
  if (found == treeUsers.end()) return false;
  *userLeafName = found->second;
  return true;
}

void FakeDirectory::SetFullName(const std::string& name) {
  Log("SetFullName(" + name + ")");
  fullName = name;
}

std::string FakeDirectory::FullName() {
  Log("FullName");
  return fullName;
}

std::string FakeDirectory::GetTreeName(const std::string& name) {
  Log("GetTreeName(" + name + ")");
  const auto found = treeNames.find(name);
  return found == treeNames.end() ? std::string() : found->second;
}

bool FakeDirectory::FindEntry(const std::string& name) {
  Log("FindEntry(" + name + ")");
  return false;
}

std::int32_t FakeDirectory::DXCallsInit() {
  Log("DXCallsInit");
  return callsInitResult;
}

std::int32_t FakeDirectory::DXVRCreateContextHandle(DirContextHandle* context) {
  Log("DXVRCreateContextHandle");
  *context = newContext;
  return createContextResult;
}

std::int32_t FakeDirectory::DXVRGetContext(DirContextHandle, int key, std::uint32_t* flags) {
  Log("DXVRGetContext(" + std::to_string(key) + ")");
  *flags = contextFlags;
  return getContextResult;
}

std::int32_t FakeDirectory::DXVRSetContextFlags(DirContextHandle, std::uint32_t flags) {
  Log("DXVRSetContext");
  flagsWritten.push_back(flags);
  return setContextResult;
}

std::int32_t FakeDirectory::DXVRSetContextName(DirContextHandle, const std::string& name) {
  Log("DXVRSetContextName(" + name + ")");
  return lookUpResult;
}

std::int32_t FakeDirectory::ReadObjectName(DirContextHandle, const std::string& leaf,
                                           std::string*) {
  Log("ReadObjectName(" + leaf + ")");
  return lookUpResult;
}

std::int32_t FakeDirectory::DXVRCanonicalizeName(DirContextHandle, const std::string& name,
                                                 std::string*) {
  Log("DXVRCanonicalizeName(" + name + ")");
  return -1;
}

std::uint16_t FakeDirectory::GetClientKind() {
  Log("GetClientKind");
  return clientKind;
}

ClientVersion FakeDirectory::GetClientVersion() {
  Log("GetClientVersion");
  return clientVersion;
}

void FakeDirectory::FreeContext(DirContextHandle context) {
  Log("FreeContext");
  freedContexts.push_back(context);
}

void FakeDirectory::FreeUnicodeTables() {
  Log("FreeUnicodeTables");
  ++unicodeTablesFreed;
}

}  // namespace zeb::testing
