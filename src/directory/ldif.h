#pragma once
// A reader for LDIF content files (RFC 2849): "version: 1", records of "dn:" and
// attribute lines separated by blank lines, base64 values ("::"), folded lines (a line
// that begins with one space continues the one before), comments ("#").
// Change records and URL values (":<") are refused: a directory file holds entries only.
// Values are bytes; plain values may hold 8-bit characters of the ANSI code page, which
// the standard would ask to be base64-encoded.
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
  std::string value;  // decoded bytes
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

// `fileName` only names the text in problems.
LdifContent ParseLdif(std::string_view text, const std::string& fileName);
LdifContent ReadLdifFile(const std::string& path);

// Strict base64 (RFC 4648 alphabet, "=" padding). False for anything else.
bool DecodeBase64(std::string_view text, std::string* bytes);

}  // namespace zeb
