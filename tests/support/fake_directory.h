#pragma once
// A scriptable directory client: each call answers what the test set and is written to a
// call log, so that tests can check what was asked and in which order.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "directory/directory_client.h"

namespace zeb::testing {

class FakeDirectory : public DirectoryClient {
 public:
  // Calls are appended to `log` (for example "DXCallsInit") when one is given.
  explicit FakeDirectory(std::vector<std::string>* log = nullptr) : log_(log) {}

  std::string DefaultFullName() override;
  bool FindTree(const std::string& treeName, std::string* userLeafName) override;
  void SetFullName(const std::string& fullName) override;
  std::string FullName() override;
  std::string GetTreeName(const std::string& fullName) override;
  bool FindEntry(const std::string& fullName) override;
  std::int32_t DXCallsInit() override;
  std::int32_t DXVRCreateContextHandle(DirContextHandle* context) override;
  std::int32_t DXVRGetContext(DirContextHandle context, int key, std::uint32_t* flags) override;
  std::int32_t DXVRSetContextFlags(DirContextHandle context, std::uint32_t flags) override;
  std::int32_t DXVRSetContextName(DirContextHandle context,
                                  const std::string& nameContext) override;
  std::int32_t ReadObjectName(DirContextHandle context, const std::string& leaf,
                              std::string* objectName) override;
  std::int32_t DXVRCanonicalizeName(DirContextHandle context, const std::string& name,
                                    std::string* canonical) override;
  std::uint16_t GetClientKind() override;
  ClientVersion GetClientVersion() override;
  void FreeContext(DirContextHandle context) override;
  void FreeUnicodeTables() override;
  // No alias list: a run asks every name of the calls above.
  bool ListAliases(std::vector<DirectoryAlias>*) override { return false; }
  std::string FailureDuringRun() override { return failureDuringRun; }

  // Session and directory controls.
  std::string defaultFullName = "VRX:\\\\ACME_TREE\\Acme\\Sales\\Bob";
  std::map<std::string, std::string> treeNames;  // full name -> tree name
  std::map<std::string, std::string> treeUsers;  // tree name -> the user's leaf name
  std::string fullName;                          // the directory control's property
  std::string failureDuringRun;                  // what a server gone would leave

  // Client library results.
  std::int32_t callsInitResult = 0;
  std::int32_t createContextResult = 0;
  DirContextHandle newContext = 7;
  std::int32_t getContextResult = 0;
  std::uint32_t contextFlags = 0x10;
  std::int32_t setContextResult = 0;
  // DXVRSetContextName and ReadObjectName; DXVRCanonicalizeName always answers -1.
  std::int32_t lookUpResult = -1;
  std::uint16_t clientKind = 4;
  ClientVersion clientVersion{5, 2, 0, 0};

  // What was done.
  std::vector<std::uint32_t> flagsWritten;
  std::vector<DirContextHandle> freedContexts;
  int unicodeTablesFreed = 0;

 private:
  void Log(const std::string& call);
  std::vector<std::string>* log_;
};

}  // namespace zeb::testing
