#pragma once
// The undo journal as text: UTF-8, one record per line, each line ending in the hex HMAC-SHA-256
// of its record chained over the line before, so that a journal cut short still verifies up
// to its last complete line while an altered, inserted or removed line does not.
//
//   zeb-journal 1 <mac>
//   computer "WKS-0042" <mac>
//   started 2026-12-08 07:58:12 <mac>
//   command "zeb.exe /STEALTH /JOURNAL=C:\ZEB\run.jnl" <mac>
//   hive "S-1-5-21-0" "C:\Users\alice\NTUSER.DAT" <mac>
//   value 1 HKEY_USERS "\S-1-5-21-0\Software\Acme" "Context" REG_SZ "Bob.Sales.Acme" <mac>
//   value 2 HKEY_USERS "\S-1-5-21-0\Software\Acme" "Flags" absent <mac>
//   file 3 "C:\WINDOWS\ACME.INI" hex:5b4d61696c5d0d0a... <mac>
//   key 4 HKEY_LOCAL_MACHINE "\Software\Acme\Bob" begin <mac>
//   keyvalue "" "Seen" REG_DWORD hex:01000000 <mac>
//   subkey "Printers" <mac>
//   keyvalue "Printers" "" REG_SZ "Q1" <mac>
//   end 4 <mac>
//   after 1 sha256:<hex> <mac>
//
// A "value", "key" or "file" record is an item's image before Save first wrote it; "after"
// gives what Save left there, as a digest of the item's image, once it has been written.
// A "hive" record names a hive the run loaded (under HKEY_USERS\<SID>, from its file), before
// the first item in it, so that a rollback can load it again.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "changes/undo_image.h"
#include "platform/registry_api.h"
#include "platform/sha256.h"
#include "platform/user_profiles.h"

namespace zeb {

constexpr int kJournalFormatVersion = 1;

struct JournalHeader {
  std::string computer;
  std::string started;  // "YYYY-MM-DD hh:mm:ss", local time
  std::string commandLine;
};

enum class JournalItemKind { kValue, kKey, kFile };

// Whether a Registry item at root\path lies in the hive: below HKEY_USERS\<its SID>.
bool LiesInHive(const ProfileHive& hive, RegKey root, const std::string& path);

// One item Save wrote, as it was before.
struct JournalItem {
  int id = 0;
  JournalItemKind kind = JournalItemKind::kValue;
  RegKey root = 0;       // values and keys
  std::string path;      // key path from the root, or the file's path
  std::string name;      // values: the value's name
  RegistryValueImage value;
  RegistryKeyImage key;
  FileImage file;
  std::optional<Sha256Digest> after;  // what Save left there, once it was written
};

// The digest an "after" record gives: of the item's image in its journal form, so that two
// images that compare equal have the same digest.
Sha256Digest ImageDigest(const RegistryValueImage& image);
Sha256Digest ImageDigest(const RegistryKeyImage& image);
Sha256Digest ImageDigest(const FileImage& image);

// Names of the root keys as the journal writes them ("HKEY_LOCAL_MACHINE"); empty for others.
std::string RootName(RegKey root);

// Formats records and chains their MACs; what it returns is appended to the journal as is.
class JournalFormatter {
 public:
  explicit JournalFormatter(const std::string& key) : keyed_(key) {}
  std::string Header(const JournalHeader& header);
  std::string Item(const JournalItem& item);  // the item's image, one or more lines
  std::string After(int id, const Sha256Digest& digest);
  std::string Hive(const ProfileHive& hive);
  // One record's body as given, signed in turn (the others are made of these).
  std::string Line(const std::string& body);

 private:

  HmacSha256 keyed_;
  std::string previousMac_;
};

struct JournalProblem {
  std::string file;
  int line = 0;  // 0 when the problem is with the journal as a whole
  std::string what;
  std::string Text() const;  // "file, line N: what", or "file: what"
};

enum class JournalProblemKind { kNone, kMalformed, kOtherVersion, kNotVerified };

struct JournalContent {
  bool headerRead = false;  // the four header lines were read (even if they do not verify)
  JournalHeader header;
  std::vector<JournalItem> items;  // in the order Save wrote them
  std::vector<ProfileHive> hives;  // the hives the run loaded that items lie in
  bool cutShort = false;           // an incomplete last line was left out
  JournalProblemKind problemKind = JournalProblemKind::kNone;
  JournalProblem problem;
  bool ok() const { return problemKind == JournalProblemKind::kNone; }
};

// Reads a journal's text strictly, verifying every line with `key`. An incomplete last line
// (no line end: the run was stopped while writing it), and a key image whose "end" line
// never came, are left out. `fileName` only names the text in problems.
JournalContent ParseJournal(std::string_view text, std::string_view key,
                            const std::string& fileName);

}  // namespace zeb
