#pragma once
// Our own directory client: every operation of the vendor's controls and client library
// that the program uses, answered from an LDIF file (see directory_tree.h for how the file
// describes the tree).
//
// Names. Full names "VRX:\\TREE\O\OU\CN" (root first) and dotted names "CN.OU.O" (leaf
// first, from the root, a leading dot ignored). A component "Bob" matches the entry whose
// name is Bob; "CN=Bob" also needs the type to match. ASCII letters compare without case,
// all other characters exactly. An alias met above the last component of a name is
// followed, as a directory resolves names; the last component is followed only by
// ReadObjectName.
//
// Result codes (ldif_result.h). DXCallsInit answers how loading the file went, and
// LastError() says which file, which line and what is wrong:
//   -1001 the file, or a file a value's URL names, cannot be opened or read
//   -1002 malformed LDIF or DN (the base's too), or a change record
//   -1003 a DN twice
//   -1004 an entry placed under an alias
//   -1005 an alias without aliasedObjectName
//   -1006 an alias loop
//   -1007 a base that no entry of the file lies below
// Calls before a successful DXCallsInit give -1010, an unknown context -1011, a context
// key other than the flags -1012, a name context over 256 characters -1013, a name that
// denotes nothing -1020 (a typeless name that fits two siblings denotes nothing), an alias
// that leads to nothing -1005, an object whose name the program's byte strings cannot
// hold -1021.
//
// Client kind 4, version 5.2: shortcut changes are proposed ticked. Tests can make any
// client call fail (FailCall) and count the releases.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "directory/context_table.h"
#include "directory/directory_client.h"
#include "directory/directory_config.h"
#include "directory/directory_tree.h"
#include "directory/ldif.h"

namespace zeb {

class LdifDirectory : public DirectoryClient {
 public:
  // The client calls a test can make fail.
  enum class Call {
    kCallsInit,
    kCreateContextHandle,
    kGetContext,
    kSetContextFlags,
    kSetContextName,
    kReadObjectName,
    kCanonicalizeName,
  };

  // Reads config.directoryPath now (a file, and a base DN after it: directory_config.h); a
  // problem waits for DXCallsInit to report it.
  explicit LdifDirectory(const DirectoryConfig& config);
  // From content already read. An empty treeName takes the file's own "t=" name; `base`
  // as in DirectoryConfig.
  LdifDirectory(const LdifContent& content, const std::string& treeName,
                const std::string& userName, const std::string& base = {});

  // What went wrong loading the file (file, line, what), or empty.
  const std::string& LastError() const { return lastError_; }

  // From now on the call answers `code` (a failure) instead of doing its work.
  void FailCall(Call call, std::int32_t code) { failures_[call] = code; }
  void ClearFailures() { failures_.clear(); }
  void SetClientIdentity(std::uint16_t kind, ClientVersion version);
  const std::vector<DirContextHandle>& FreedContexts() const { return contexts_.Freed(); }
  int FreeUnicodeTablesCalls() const { return freeUnicodeTablesCalls_; }

  // Session control.
  std::string DefaultFullName() override;
  bool FindTree(const std::string& treeName, std::string* userLeafName) override;

  // Directory control.
  void SetFullName(const std::string& fullName) override { fullName_ = fullName; }
  std::string FullName() override { return fullName_; }
  std::string GetTreeName(const std::string& fullName) override;
  bool FindEntry(const std::string& fullName) override;

  // Client library.
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
  std::uint16_t GetClientKind() override { return clientKind_; }
  ClientVersion GetClientVersion() override { return clientVersion_; }
  void FreeContext(DirContextHandle context) override;
  void FreeUnicodeTables() override { ++freeUnicodeTablesCalls_; }
  bool ListAliases(std::vector<DirectoryAlias>* aliases) override;

 private:
  LdifDirectory(const DirectoryConfig& config, const LdifLocation& location);
  // The injected failure code for `call`, or 0.
  std::int32_t InjectedFailure(Call call) const;
  const DirectoryTree::Entry* FindDotted(const std::string& dotted, bool followLast) const;
  const DirectoryTree::Entry* UserEntry() const;
  static std::int32_t WriteDottedName(const DirectoryTree::Entry& entry, std::uint32_t flags,
                                      std::string* name);

  DirectoryTree tree_;
  std::int32_t loadResult_ = 0;
  std::string lastError_;
  std::string treeName_;
  std::string userName_;
  std::string fullName_;
  bool initialised_ = false;
  ContextTable contexts_;
  std::map<Call, std::int32_t> failures_;
  std::uint16_t clientKind_ = 4;
  ClientVersion clientVersion_{5, 2, 0, 0};
  int freeUnicodeTablesCalls_ = 0;
};

}  // namespace zeb
