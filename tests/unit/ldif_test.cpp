#include <gtest/gtest.h>

#include <string>

#include "directory/ldif.h"
#include "directory/ldif_directory.h"
#include "directory/ldif_result.h"
#include "support/sample_paths.h"

namespace zeb {
namespace {

TEST(LdifReader, RecordsAttributesAndValueForms) {
  const LdifContent content = ParseLdif(
      "version: 1\n"
      "# a comment\n"
      "dn: o=Acme\n"
      "objectClass: organization\n"
      "description:   leading fill goes, trailing stays  \n"
      "\n"
      "\n"
      "dn:: b3U9yXF1aXBlLG89QWNtZQ==\n"
      "ou;lang-fr:: yXF1aXBl\n"
      "empty:\n"
      "emptyBase64::\n",
      "t.ldif");
  ASSERT_TRUE(content.ok) << content.problem.Text();
  ASSERT_EQ(content.records.size(), 2u);
  EXPECT_EQ(content.records[0].dn, "o=Acme");
  EXPECT_EQ(content.records[0].line, 3);
  ASSERT_EQ(content.records[0].attributes.size(), 2u);
  EXPECT_EQ(content.records[0].attributes[0].type, "objectClass");
  EXPECT_EQ(content.records[0].attributes[1].value, "leading fill goes, trailing stays  ");
  EXPECT_EQ(content.records[1].dn, "ou=\xC9quipe,o=Acme");
  EXPECT_EQ(content.records[1].line, 8);
  ASSERT_EQ(content.records[1].attributes.size(), 3u);
  EXPECT_EQ(content.records[1].attributes[0].type, "ou;lang-fr");
  EXPECT_EQ(content.records[1].attributes[0].value, "\xC9quipe");
  EXPECT_EQ(content.records[1].attributes[1].value, "");
  EXPECT_EQ(content.records[1].attributes[2].value, "");
}

TEST(LdifReader, FoldedLinesCommentsAndLineEnds) {
  const LdifContent content = ParseLdif(
      "\xEF\xBB\xBF"
      "dn: cn=Rob\r\n"
      " ert,o=Ac\r\n"
      " me\r\n"
      "# a folded\r\n"
      "  comment: not an attribute\r\n"
      "description: one\r\n"
      "  two\r\n"
      "\r\n"
      "dn: o=Next",
      "t.ldif");
  ASSERT_TRUE(content.ok) << content.problem.Text();
  ASSERT_EQ(content.records.size(), 2u);
  EXPECT_EQ(content.records[0].dn, "cn=Robert,o=Acme");
  ASSERT_EQ(content.records[0].attributes.size(), 1u);
  EXPECT_EQ(content.records[0].attributes[0].value, "one two");
  EXPECT_EQ(content.records[0].attributes[0].line, 6);
  EXPECT_EQ(content.records[1].line, 9);
}

// Each folded line is joined once and kept while later ones are joined: none may change
// another, however many there are.
TEST(LdifReader, ManyFoldedLinesEachKeepTheirText) {
  std::string text;
  for (int i = 0; i < 200; ++i)
    text += "dn: cn=U" + std::to_string(i) + ",o=Ac\n me\ndescription: first " +
            std::to_string(i) + "\n  and\n  last\nsn: plain\n\n";
  const LdifContent content = ParseLdif(text, "t.ldif");
  ASSERT_TRUE(content.ok) << content.problem.Text();
  ASSERT_EQ(content.records.size(), 200u);
  for (int i = 0; i < 200; ++i) {
    const LdifRecord& record = content.records[static_cast<std::size_t>(i)];
    EXPECT_EQ(record.dn, "cn=U" + std::to_string(i) + ",o=Acme");
    ASSERT_EQ(record.attributes.size(), 2u);
    EXPECT_EQ(record.attributes[0].value, "first " + std::to_string(i) + " and last");
    EXPECT_EQ(record.attributes[1].value, "plain");
  }
}

TEST(LdifReader, EmptyAndCommentOnlyFilesHoldNoRecords) {
  for (const char* text : {"", "\n\n", "# nothing\n", "version: 1\n"}) {
    const LdifContent content = ParseLdif(text, "t.ldif");
    EXPECT_TRUE(content.ok) << text;
    EXPECT_TRUE(content.records.empty()) << text;
  }
}

TEST(LdifReader, Base64) {
  std::string bytes;
  ASSERT_TRUE(DecodeBase64("QUJD", &bytes));
  EXPECT_EQ(bytes, "ABC");
  ASSERT_TRUE(DecodeBase64("QUI=", &bytes));
  EXPECT_EQ(bytes, "AB");
  ASSERT_TRUE(DecodeBase64("QQ==", &bytes));
  EXPECT_EQ(bytes, "A");
  ASSERT_TRUE(DecodeBase64("", &bytes));
  EXPECT_EQ(bytes, "");
  for (const char* bad : {"QQ=", "Q===", "QQ==QUJD", "QU=D", "QU!D", "QUJD QUJD"})
    EXPECT_FALSE(DecodeBase64(bad, &bytes)) << bad;
}

// Each malformed file gives its own error, naming the file and the line.
struct Problem {
  std::int32_t code;
  std::string text;
};

Problem LoadProblem(const std::string& ldif, const std::string& base = {}) {
  LdifDirectory directory(ParseLdif(ldif, "bad.ldif"), "T", "", base);
  return {directory.DXCallsInit(), directory.LastError()};
}

TEST(LdifProblems, BadLines) {
  Problem p = LoadProblem("dn: o=Acme\nthis line has no colon\n");
  EXPECT_EQ(p.code, dirresult::kMalformedLdif);
  EXPECT_EQ(p.text, "bad.ldif, line 2: the line \"this line has no colon\" has no \":\" between "
                    "an attribute name and its value");

  p = LoadProblem("dn: o=Acme\n\n bad continuation\n");
  EXPECT_EQ(p.code, dirresult::kMalformedLdif);
  EXPECT_EQ(p.text, "bad.ldif, line 3: a line that begins with a space continues the line "
                    "before it, but there is none to continue");

  p = LoadProblem("objectClass: top\n");
  EXPECT_EQ(p.text, "bad.ldif, line 1: a record must begin with \"dn:\", not \"objectClass:\"");

  p = LoadProblem("dn: o=A\nbad name: x\n");
  EXPECT_EQ(p.text, "bad.ldif, line 2: \"bad name\" is not an attribute name");

  p = LoadProblem("dn: o=A\ndn: o=B\n");
  EXPECT_EQ(p.text, "bad.ldif, line 2: a second \"dn:\" in one record (a blank line must "
                    "separate records)");
}

TEST(LdifProblems, UnsupportedForms) {
  Problem p = LoadProblem("version: 2\n\ndn: o=A\n");
  EXPECT_EQ(p.code, dirresult::kMalformedLdif);
  EXPECT_EQ(p.text, "bad.ldif, line 1: LDIF version \"2\" is not supported");

  p = LoadProblem("dn: o=A\nchangetype: add\n");
  EXPECT_EQ(p.text, "bad.ldif, line 2: change records are not supported: the file must hold "
                    "entries only");

  p = LoadProblem("dn: o=A\n\ndn: o=B\njpegPhoto:< http://example.com/x.jpg\n");
  EXPECT_EQ(p.code, dirresult::kMalformedLdif);
  EXPECT_EQ(p.text, "bad.ldif, line 4: the value's URL \"http://example.com/x.jpg\" is not a "
                    "file: URL; only file: URLs are read");

  p = LoadProblem("dn: o=A\njpegPhoto:< file://server/share/x.jpg\n");
  EXPECT_EQ(p.text, "bad.ldif, line 2: the value's URL \"file://server/share/x.jpg\" names a "
                    "file of another machine");

  p = LoadProblem("dn:< file:dn.txt\n");
  EXPECT_EQ(p.text, "bad.ldif, line 1: a DN cannot be given by URL");
}

TEST(LdifProblems, BadBase64) {
  const Problem p = LoadProblem("dn: o=A\n\ndn: o=B\ndescription:: not*base64\n");
  EXPECT_EQ(p.code, dirresult::kMalformedLdif);
  EXPECT_EQ(p.text, "bad.ldif, line 4: the base64 value of \"description\" is not valid");
}

TEST(LdifProblems, BadDistinguishedNames) {
  Problem p = LoadProblem("dn: o=A\n\ndn: Sales\n");
  EXPECT_EQ(p.code, dirresult::kMalformedLdif);
  EXPECT_EQ(p.text, "bad.ldif, line 3: the DN \"Sales\" is not valid: a name has no \"=\" "
                    "between its type and its value");

  p = LoadProblem("dn: cn=\"A\",o=A\n");
  EXPECT_EQ(p.text, "bad.ldif, line 1: the DN \"cn=\"A\",o=A\" is not valid: quoted values are "
                    "not supported; escape special characters with \"\\\"");

  p = LoadProblem("dn:\n");
  EXPECT_EQ(p.text, "bad.ldif, line 1: the DN \"\" is not valid: the DN is empty");

  p = LoadProblem("dn: o=A,\n");
  EXPECT_EQ(p.code, dirresult::kMalformedLdif);

  p = LoadProblem("dn: cn=\\zz,o=A\n");
  EXPECT_EQ(p.code, dirresult::kMalformedLdif);

  p = LoadProblem("dn: o=A\n", "not a DN");
  EXPECT_EQ(p.code, dirresult::kMalformedLdif);
  EXPECT_EQ(p.text, "bad.ldif: the base \"not a DN\" is not a valid DN: a name has no \"=\" "
                    "between its type and its value");
}

TEST(LdifProblems, DuplicateEntries) {
  Problem p = LoadProblem("dn: o=Acme\n\ndn: ou=Sales,o=Acme\n\ndn: OU=SALES, O=acme\n");
  EXPECT_EQ(p.code, dirresult::kDuplicateEntry);
  EXPECT_EQ(p.text, "bad.ldif, line 5: the entry \"ou=Sales,o=Acme\" is already defined at "
                    "line 3");

  // Below a base, as the base strips it.
  p = LoadProblem("dn: o=Acme,dc=com\n\ndn: O=ACME, DC=COM\n", "dc=com");
  EXPECT_EQ(p.code, dirresult::kDuplicateEntry);

  p = LoadProblem("dn: t=ONE\n\ndn: t=TWO\n");
  EXPECT_EQ(p.code, dirresult::kDuplicateEntry);
  EXPECT_EQ(p.text, "bad.ldif, line 3: the tree is already named at line 1");
}

TEST(LdifProblems, MisplacedEntries) {
  Problem p = LoadProblem(
      "dn: o=Acme\n\ndn: ou=Sales,o=Acme\n\n"
      "dn: ou=Old,o=Acme\nobjectClass: alias\naliasedObjectName: ou=Sales,o=Acme\n\n"
      "dn: cn=Bob,ou=Old,o=Acme\n");
  EXPECT_EQ(p.code, dirresult::kMisplacedEntry);
  EXPECT_EQ(p.text, "bad.ldif, line 9: this entry is placed under the alias \"ou=Old,o=Acme\" "
                    "(line 5); aliases hold no entries");

  p = LoadProblem("dn: o=Acme,t=TREE\n");
  EXPECT_EQ(p.code, dirresult::kMisplacedEntry);
}

TEST(LdifProblems, AliasesWithoutATarget) {
  Problem p = LoadProblem("dn: o=Acme\n\ndn: cn=Bob,o=Acme\nobjectClass: alias\n");
  EXPECT_EQ(p.code, dirresult::kAliasToNothing);
  EXPECT_EQ(p.text, "bad.ldif, line 3: the alias \"cn=Bob,o=Acme\" has no aliasedObjectName");

  p = LoadProblem(
      "dn: o=Acme\n\ndn: cn=Bob,o=Acme\nobjectClass: alias\naliasedObjectName: Robert\n");
  EXPECT_EQ(p.code, dirresult::kMalformedLdif);
}

TEST(LdifProblems, AliasLoops) {
  Problem p = LoadProblem(
      "dn: o=Acme\n\n"
      "dn: cn=A,o=Acme\nobjectClass: alias\naliasedObjectName: cn=B,o=Acme\n\n"
      "dn: cn=B,o=Acme\nobjectClass: alias\naliasedObjectName: cn=A,o=Acme\n");
  EXPECT_EQ(p.code, dirresult::kAliasLoop);
  EXPECT_EQ(p.text, "bad.ldif, line 9: following aliases comes back to where it started: "
                    "\"cn=A,o=Acme\" (line 3) -> \"cn=B,o=Acme\" (line 7) -> \"cn=A,o=Acme\"");

  // An alias whose target differs from it only in ASCII case names itself.
  p = LoadProblem(
      "dn: o=Acme\n\n"
      "dn: cn=Admin,o=Acme\nobjectClass: alias\naliasedObjectName: CN=ADMIN,O=ACME\n");
  EXPECT_EQ(p.code, dirresult::kAliasLoop);
  EXPECT_EQ(p.text, "bad.ldif, line 5: following aliases comes back to where it started: "
                    "\"cn=Admin,o=Acme\" (line 3) -> \"cn=Admin,o=Acme\"");

  // A container alias whose target lies below itself.
  p = LoadProblem(
      "dn: o=Acme\n\n"
      "dn: ou=Old,o=Acme\nobjectClass: alias\naliasedObjectName: ou=X,ou=Old,o=Acme\n");
  EXPECT_EQ(p.code, dirresult::kAliasLoop);
}

TEST(LdifProblems, LongAliasChainsLoadWithoutRecursion) {
  std::string ldif = "dn: o=Acme\n\ndn: cn=End,o=Acme\n\n";
  const int chain = 20000;
  for (int i = 0; i < chain; ++i) {
    const std::string next = i + 1 < chain ? "cn=A" + std::to_string(i + 1) : "cn=End";
    ldif += "dn: cn=A" + std::to_string(i) + ",o=Acme\nobjectClass: alias\naliasedObjectName: " +
            next + ",o=Acme\n\n";
  }
  LdifDirectory directory(ParseLdif(ldif, "long.ldif"), "T", "");
  EXPECT_EQ(directory.DXCallsInit(), dirresult::kOk) << directory.LastError();
  // Closing the chain into a loop is found too.
  ldif += "dn: cn=Start,o=Acme\n";
  const std::string loop = ldif.replace(ldif.find("aliasedObjectName: cn=End"), 25,
                                        "aliasedObjectName: cn=A0");
  EXPECT_EQ(LoadProblem(loop).code, dirresult::kAliasLoop);
}

TEST(LdifProblems, MissingFile) {
  const std::string path = testing::SourceTreePath("samples/acme/no-such-directory.ldif");
  LdifDirectory directory(DirectoryConfig{path, "ACME_TREE", ""});
  EXPECT_EQ(directory.DXCallsInit(), dirresult::kFileMissing);
  EXPECT_EQ(directory.LastError(), path + ": the directory file cannot be opened");
  // The controls still answer, from an empty tree.
  EXPECT_FALSE(directory.FindEntry("VRX:\\\\ACME_TREE\\Acme"));
  DirContextHandle context = 99;
  EXPECT_EQ(directory.DXVRCreateContextHandle(&context), dirresult::kNotInitialised);
}

TEST(LdifProblems, TheSampleLoads) {
  LdifDirectory directory(DirectoryConfig{testing::SampleDirectoryFile(), "", ""});
  EXPECT_EQ(directory.DXCallsInit(), dirresult::kOk) << directory.LastError();
  EXPECT_EQ(directory.LastError(), "");
}

}  // namespace
}  // namespace zeb
