#include "support/scripted_directory.h"

#include <stdexcept>

namespace zeb::testing {

bool ScriptedDirectory::FindEntry(const std::string& fullName) {
  lookups.push_back(fullName);
  if (throwOnFind) throw std::runtime_error("control error");
  return entries.count(fullName) > 0;
}

std::int32_t ScriptedDirectory::DXVRSetContextName(DirContextHandle context,
                                                   const std::string& name) {
  contexts.push_back(context);
  nameContexts.push_back(name);
  return setContextResult;
}

std::int32_t ScriptedDirectory::ReadObjectName(DirContextHandle, const std::string& leaf,
                                               std::string* objectName) {
  leaves.push_back(leaf);
  *objectName = readAnswer;
  return readResult;
}

std::int32_t ScriptedDirectory::DXVRCanonicalizeName(DirContextHandle, const std::string& name,
                                                     std::string* canonical) {
  canonicalized.push_back(name);
  *canonical = canonicalAnswer;
  return canonicalResult;
}

}  // namespace zeb::testing
