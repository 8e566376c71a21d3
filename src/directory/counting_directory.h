#pragma once
// A directory client that counts the calls made of it, by operation, and passes each on to
// the client it wraps unchanged. Tests and benchmarks put it between the name operations and
// a real client to see how many questions (for a server: round trips) a scan costs.
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "directory/directory_client.h"

namespace zeb {

enum class DirectoryOperation {
  kDefaultFullName,
  kFindTree,
  kSetFullName,
  kFullName,
  kGetTreeName,
  kFindEntry,
  kCallsInit,
  kCreateContextHandle,
  kGetContext,
  kSetContextFlags,
  kSetContextName,
  kReadObjectName,
  kCanonicalizeName,
  kGetClientKind,
  kGetClientVersion,
  kFreeContext,
  kFreeUnicodeTables,
  kListAliases,
};
constexpr std::size_t kDirectoryOperationCount = 18;

// The operation's name as the client table gives it ("FindEntry", "DXVRCanonicalizeName").
const char* OperationName(DirectoryOperation operation);

class CountingDirectory : public DirectoryClient {
 public:
  explicit CountingDirectory(DirectoryClient& inner) : inner_(inner) {}

  std::size_t Count(DirectoryOperation operation) const {
    return counts_[static_cast<std::size_t>(operation)];
  }
  // Calls of every operation together.
  std::size_t Total() const;
  // The look-ups a scan makes: FindEntry, DXVRSetContext (name), ReadObjectName,
  // DXVRCanonicalizeName and ListAliases.
  std::size_t LookUps() const;
  void Reset() { counts_.fill(0); }
  // "FindEntry 12, ReadObjectName 3": the operations called at least once, in table order.
  std::string Summary() const;

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
  bool ListAliases(std::vector<DirectoryAlias>* aliases) override;
  // Not counted: it asks nothing of the directory.
  std::string FailureDuringRun() override { return inner_.FailureDuringRun(); }

 private:
  // Counts the call first, so that one that throws is counted too.
  DirectoryClient& Counted(DirectoryOperation operation) {
    ++counts_[static_cast<std::size_t>(operation)];
    return inner_;
  }

  DirectoryClient& inner_;
  std::array<std::size_t, kDirectoryOperationCount> counts_{};
};

}  // namespace zeb
