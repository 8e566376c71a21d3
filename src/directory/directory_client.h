#pragma once
// Everything the program asks of the directory: the session and directory controls'
// properties and methods, and the client library calls, with the client's result codes
// (negative, or for some calls non-zero, on failure). Texts are byte strings in the ANSI
// code page; the conversion to and from UTF-16 is the identity for them.
#include <cstdint>
#include <string>
#include <vector>

namespace zeb {

using DirContextHandle = std::uint32_t;

namespace contextkey {
constexpr int kFlags = 1;        // 32-bit flags
constexpr int kNameContext = 3;  // text
}  // namespace contextkey

// With this flag the client returns typeless names.
constexpr std::uint32_t kTypelessNamesFlag = 4;

struct ClientVersion {
  std::uint8_t major = 0;
  std::uint8_t minor = 0;
  std::uint8_t revision = 0;
  std::uint8_t build = 0;
};

// One alias of the tree: its name and the name its aliasedObjectName gives, each as
// components root first, typeless, in the code page ({"Acme", "Sales", "Bob"}).
struct DirectoryAlias {
  std::vector<std::string> name;
  std::vector<std::string> target;  // empty when it lies outside the tree or cannot be written
};

class DirectoryClient {
 public:
  virtual ~DirectoryClient() = default;

  // Session control.
  virtual std::string DefaultFullName() = 0;
  // FindTree: false when the tree cannot be found; else the tree object's text property,
  // the logged-in user's leaf name.
  virtual bool FindTree(const std::string& treeName, std::string* userLeafName) = 0;

  // Directory control.
  virtual void SetFullName(const std::string& fullName) = 0;
  virtual std::string FullName() = 0;
  virtual std::string GetTreeName(const std::string& fullName) = 0;
  // True when an entry has that full name (the control raises an error otherwise).
  virtual bool FindEntry(const std::string& fullName) = 0;

  // Client library.
  virtual std::int32_t DXCallsInit() = 0;
  virtual std::int32_t DXVRCreateContextHandle(DirContextHandle* context) = 0;
  virtual std::int32_t DXVRGetContext(DirContextHandle context, int key, std::uint32_t* flags) = 0;
  virtual std::int32_t DXVRSetContextFlags(DirContextHandle context, std::uint32_t flags) = 0;
  virtual std::int32_t DXVRSetContextName(DirContextHandle context,
                                          const std::string& nameContext) = 0;
  // The object named by `leaf` under the context's name context; an alias is followed to
  // its aliased object.
  virtual std::int32_t ReadObjectName(DirContextHandle context, const std::string& leaf,
                                      std::string* objectName) = 0;
  // Typeless dotted name from the root, leaf first, no leading dot.
  virtual std::int32_t DXVRCanonicalizeName(DirContextHandle context, const std::string& name,
                                            std::string* canonical) = 0;
  virtual std::uint16_t GetClientKind() = 0;
  virtual ClientVersion GetClientVersion() = 0;
  virtual void FreeContext(DirContextHandle context) = 0;
  virtual void FreeUnicodeTables() = 0;

  // Not one of the vendor's calls: when the directory stopped answering during the run
  // (a server gone), what the run's report should say; empty otherwise.
  virtual std::string FailureDuringRun() { return {}; }

  // Our own addition: every alias of the tree with its target, asked once per run for the
  // alias index (alias_index.h). An alias whose name cannot be written in the code page may
  // be left out: no byte string names it. False when the client cannot list them all;
  // nothing is then answered from an index.
  [[nodiscard]] virtual bool ListAliases(std::vector<DirectoryAlias>* aliases) = 0;
};

}  // namespace zeb
