#pragma once
// A reader for LDIF content files (RFC 2849) as directory exports write them: "version: 1",
// records of "dn:" and attribute lines separated by blank lines, base64 values ("::"),
// values in files (":< file:..."), folded lines (a line that begins with one space
// continues the one before), comments ("#"), attribute options ("cn;lang-en:"), LF or CRLF
// line ends, a byte order mark. Change records are refused: a directory file holds entries
// only. Values are bytes as written (UTF-8 in an export; the directory tree converts the
// names it uses).
#include <string>
#include <string_view>
#include <vector>

namespace zeb {

struct LdifProblem {
  std::string file;
  int line = 0;  // 0 when the problem is with the file as a whole
  std::string what;

  // "file, line N: what", or "file: what" without a line.
  std::string Text() const;
};

struct LdifAttribute {
  std::string type;   // the attribute description as written, options included
  std::string value;  // decoded bytes; empty for a value given by URL
  // For a value given by a file: URL, the file that holds it. It is read only when the
  // value is needed (ReadAttributeValue): an export's photos and certificates are not.
  std::string valueFile;
  int line = 0;
};

struct LdifRecord {
  std::string dn;
  int line = 0;  // where the record's "dn:" line is
  std::vector<LdifAttribute> attributes;
};

struct LdifContent {
  std::string fileName;
  std::vector<LdifRecord> records;
  bool ok = true;
  bool unreadable = false;  // the file itself could not be opened or read
  LdifProblem problem;  // when !ok; records then holds what was read before it
};

// `fileName` names the text in problems, and relative file: URLs are taken from its folder.
LdifContent ParseLdif(std::string_view text, const std::string& fileName);
LdifContent ReadLdifFile(const std::string& path);

// The attribute's value, read from its file where it was given by URL. False with
// `problem` set (file, line, what) when that file cannot be read.
[[nodiscard]] bool ReadAttributeValue(const LdifAttribute& attribute, const std::string& fileName,
                                      std::string* value, LdifProblem* problem);

// Strict base64 (RFC 4648 alphabet, "=" padding). False for anything else.
bool DecodeBase64(std::string_view text, std::string* bytes);

}  // namespace zeb
