#pragma once
// A directory client for the name operations' tests: FindEntry answers from a set of full
// names, the three look-up calls answer what the test set, and every question is recorded.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "directory/directory_client.h"

namespace zeb::testing {

class ScriptedDirectory : public DirectoryClient {
 public:
  std::string DefaultFullName() override { return {}; }
  bool FindTree(const std::string&, std::string*) override { return false; }
  void SetFullName(const std::string&) override {}
  std::string FullName() override { return {}; }
  std::string GetTreeName(const std::string&) override { return {}; }
  bool FindEntry(const std::string& fullName) override;
  std::int32_t DXCallsInit() override { return 0; }
  std::int32_t DXVRCreateContextHandle(DirContextHandle*) override { return 0; }
  std::int32_t DXVRGetContext(DirContextHandle, int, std::uint32_t*) override { return 0; }
  std::int32_t DXVRSetContextFlags(DirContextHandle, std::uint32_t) override { return 0; }
  std::int32_t DXVRSetContextName(DirContextHandle context, const std::string& name) override;
  std::int32_t ReadObjectName(DirContextHandle, const std::string& leaf,
                              std::string* objectName) override;
  std::int32_t DXVRCanonicalizeName(DirContextHandle, const std::string& name,
                                    std::string* canonical) override;
  std::uint16_t GetClientKind() override { return 4; }
  ClientVersion GetClientVersion() override { return {}; }
  void FreeContext(DirContextHandle) override {}
  void FreeUnicodeTables() override {}
  // No alias list: every question reaches the calls above.
  bool ListAliases(std::vector<DirectoryAlias>*) override { return false; }

  // Answers.
  std::set<std::string> entries;  // full names FindEntry knows
  bool throwOnFind = false;       // FindEntry raises, as the control does on errors
  std::int32_t setContextResult = 0;
  std::int32_t readResult = 0;
  std::int32_t canonicalResult = 0;
  std::string readAnswer;
  std::string canonicalAnswer;

  // Questions, in order.
  std::vector<std::string> lookups;
  std::vector<DirContextHandle> contexts;
  std::vector<std::string> nameContexts;
  std::vector<std::string> leaves;
  std::vector<std::string> canonicalized;
};

}  // namespace zeb::testing
