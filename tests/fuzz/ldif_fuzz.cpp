// The LDIF directory: any file loads or is refused with a result code and, for a line at
// fault, its number; a loaded directory answers every look-up of the client table, and
// every entry the file defines is found by its name. Alias chains and loops end (a hang is
// a finding too).
#include <cctype>
#include <string>
#include <vector>

#include "directory/dn.h"
#include "directory/ldif.h"
#include "directory/ldif_directory.h"
#include "directory/ldif_result.h"
#include "directory/names.h"
#include "fuzz/fuzz_check.h"
#include "platform/text.h"
#include "support/recording_view.h"

namespace {

namespace dirresult = zeb::dirresult;

int LineCount(const std::string& text) {
  int lines = 1;
  for (char c : text) lines += c == '\n';
  return lines;
}

// Names whose every component the name forms carry as they are.
bool IsPlainValue(const std::string& value) {
  if (value.empty() || value.size() > 40) return false;
  for (char c : value)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-') return false;
  return true;
}

// The dotted name (leaf first) of a DN below the tree; empty when its components are not
// all plain or it names the tree.
std::string DottedOf(const std::string& dn) {
  std::vector<zeb::Rdn> rdns;
  std::string problem;
  if (!zeb::ParseDn(dn, &rdns, &problem) || rdns.empty()) return {};
  std::string dotted;
  for (const zeb::Rdn& rdn : rdns) {
    if (!IsPlainValue(rdn.value) || zeb::EqualsIgnoreCase(rdn.type, "t")) return {};
    dotted += (dotted.empty() ? "" : ".") + rdn.value;
  }
  return dotted.size() < 200 ? dotted : std::string();
}

void LookUp(zeb::LdifDirectory& directory, zeb::DirectoryNames& names, zeb::DirContextHandle context,
            const std::string& dotted) {
  const std::string full = names.FullNameOf(dotted);
  directory.FindEntry(full);
  std::string target;
  names.ResolveAlias(full, &target);
  names.CanonicalizeName(dotted);
  directory.GetTreeName(full);
  std::string object;
  directory.DXVRSetContextName(context, dotted);
  directory.ReadObjectName(context, dotted, &object);
  std::string canonical;
  directory.DXVRCanonicalizeName(context, dotted, &canonical);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const zeb::LdifContent content = zeb::ParseLdif(text, "fuzz.ldif");
  if (!content.ok) {
    FUZZ_CHECK(!content.problem.what.empty());
    FUZZ_CHECK(content.problem.line >= 0 && content.problem.line <= LineCount(text));
  }
  zeb::LdifDirectory directory(content, "", "Admin.Acme");
  const std::int32_t loaded = directory.DXCallsInit();
  if (!content.ok) FUZZ_CHECK(loaded != dirresult::kOk);
  if (loaded != dirresult::kOk) {
    FUZZ_CHECK(loaded <= dirresult::kFileMissing && loaded >= dirresult::kAliasLoop);
    FUZZ_CHECK(!directory.LastError().empty());
    return 0;
  }

  // The start-up's calls.
  directory.SetFullName(directory.DefaultFullName());
  const std::string tree = directory.GetTreeName(directory.FullName());
  std::string leaf;
  directory.FindTree(tree, &leaf);
  zeb::DirContextHandle context = 0;
  FUZZ_CHECK(directory.DXVRCreateContextHandle(&context) == dirresult::kOk);
  std::uint32_t flags = 0;
  FUZZ_CHECK(directory.DXVRGetContext(context, zeb::contextkey::kFlags, &flags) == dirresult::kOk);
  FUZZ_CHECK(directory.DXVRSetContextFlags(context, flags | zeb::kTypelessNamesFlag) ==
             dirresult::kOk);

  zeb::testing::RecordingView view;
  zeb::DirectoryNames names(directory, context, tree, view);
  for (const zeb::LdifRecord& record : content.records) {
    LookUp(directory, names, context, record.dn);
    for (const zeb::LdifAttribute& attribute : record.attributes)
      LookUp(directory, names, context, attribute.value);
    const std::string dotted = DottedOf(record.dn);
    if (dotted.empty()) continue;
    LookUp(directory, names, context, dotted);
    // A record's typeless name need not find it: siblings that differ only in type, and
    // containers the file leaves out, make such names denote nothing.
    // An alias resolves to an entry that is no alias and is found in turn.
    std::string target;
    if (names.ResolveAlias(names.FullNameOf(dotted), &target)) {
      FUZZ_CHECK(directory.FindEntry(target));
      std::string again;
      FUZZ_CHECK(!names.ResolveAlias(target, &again));
    }
  }
  directory.FreeContext(context);
  return 0;
}
