// LDIF as directory servers export it: UTF-8, any order, subtrees without their parents, a
// base DN, values in files, and the names the program's byte strings cannot hold.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "directory/directory_config.h"
#include "directory/ldif.h"
#include "directory/ldif_directory.h"
#include "directory/ldif_result.h"
#include "directory/names.h"
#include "support/recording_view.h"

namespace zeb {
namespace {

const std::string kTree = "VRX:\\\\T";

// A loaded directory with a typeless context, as the start-up leaves it.
class Export {
 public:
  explicit Export(const std::string& ldif, const std::string& base = {},
                  const std::string& fileName = "export.ldif")
      : directory(ParseLdif(ldif, fileName), "T", "", base) {
    result = directory.DXCallsInit();
    if (result == 0) {
      EXPECT_EQ(directory.DXVRCreateContextHandle(&context), 0);
      EXPECT_EQ(directory.DXVRSetContextFlags(context, kTypelessNamesFlag), 0);
    }
  }
  bool Has(const std::string& path) { return directory.FindEntry(kTree + path); }
  // ResolveAlias's target path, or "" when it answers false.
  std::string Resolve(const std::string& path) {
    DirectoryNames names(directory, context, "T", view);
    std::string target;
    return names.ResolveAlias(kTree + path, &target) ? target.substr(kTree.size()) : "";
  }
  std::int32_t Read(const std::string& nameContext, const std::string& leaf, std::string* name) {
    EXPECT_EQ(directory.DXVRSetContextName(context, nameContext), 0);
    return directory.ReadObjectName(context, leaf, name);
  }

  LdifDirectory directory;
  std::int32_t result = 0;
  DirContextHandle context = 0;
  testing::RecordingView view;
};

// "cn=Zoé,ou=Équipe,o=Acme" in UTF-8, base64-encoded as exports write it.
const char* const kZoeDn = "Y249Wm/DqSxvdT3DiXF1aXBlLG89QWNtZQ==";

TEST(LdifExports, Utf8NamesReachTheProgramInItsCodePage) {
  Export e("dn: o=Acme\n\n"
           "dn: ou=\xC3\x89quipe,o=Acme\n\n"  // raw UTF-8, as some tools write it
           "dn:: " + std::string(kZoeDn) + "\n\n"
           "dn: cn=Zoe,o=Acme\nobjectClass: alias\naliasedObjectName:: " + kZoeDn + "\n\n"
           // A DN escaped as RFC 4514 allows: the bytes of "é" in hex.
           "dn: cn=Jos\\C3\\A9,o=Acme\n");
  ASSERT_EQ(e.result, 0) << e.directory.LastError();
  EXPECT_TRUE(e.Has("\\Acme\\\xC9quipe\\Zo\xE9"));
  EXPECT_TRUE(e.Has("\\ACME\\\xC9QUIPE\\ZO\xE9"));
  EXPECT_FALSE(e.Has("\\Acme\\\xE9quipe"));  // only ASCII letters ignore case
  EXPECT_FALSE(e.Has("\\Acme\\\xC3\x89quipe"));  // UTF-8 bytes are no name of the code page
  EXPECT_TRUE(e.Has("\\Acme\\Jos\xE9"));
  EXPECT_EQ(e.Resolve("\\Acme\\Zoe"), "\\Acme\\\xC9quipe\\Zo\xE9");
}

TEST(LdifExports, TextThatIsNotUtf8IsTakenAsTheCodePage) {
  // As files written by hand for this program are: "É" is one byte here.
  Export e("dn: o=Acme\n\ndn:: b3U9yXF1aXBlLG89QWNtZQ==\n\ndn: cn=Bob,ou=\xC9quipe,o=Acme\n");
  ASSERT_EQ(e.result, 0) << e.directory.LastError();
  EXPECT_TRUE(e.Has("\\Acme\\\xC9quipe\\Bob"));
}

TEST(LdifExports, NamesOutsideTheCodePageLoadButNoByteStringNamesThem) {
  // cn=Иван,o=Acme and an alias to it; the code page has no Cyrillic letters.
  Export e("dn: o=Acme\n\n"
           "dn:: Y2490JjQstCw0L0sbz1BY21l\n\n"
           "dn: cn=Ivan,o=Acme\nobjectClass: alias\naliasedObjectName:: Y2490JjQstCw0L0sbz1BY21l\n");
  ASSERT_EQ(e.result, 0) << e.directory.LastError();
  EXPECT_FALSE(e.Has("\\Acme\\????"));
  std::string name;
  EXPECT_EQ(e.Read("Acme", "Ivan", &name), dirresult::kNameNotWritable);
  // So the alias is not taken for one: no change could write its target.
  EXPECT_EQ(e.Resolve("\\Acme\\Ivan"), "");
  EXPECT_TRUE(e.view.messages.empty());
}

TEST(LdifExports, ChildrenBeforeParentsAndCrlfLineEnds) {
  Export e("version: 1\r\n"
           "dn: cn=Bob,ou=Sales,o=Acme\r\nobjectClass: alias\r\n"
           "aliasedObjectName: cn=Rob\r\n ert,ou=Sales,o=Acme\r\n\r\n"
           "# the queue\r\n"
           "dn: cn=Robert,ou=Sales,o=Acme\r\ncn;lang-en: Robert\r\n\r\n"
           "dn: ou=Sales,o=Acme\r\n\r\n"
           "dn: o=Acme\r\n");
  ASSERT_EQ(e.result, 0) << e.directory.LastError();
  EXPECT_EQ(e.Resolve("\\Acme\\Sales\\Bob"), "\\Acme\\Sales\\Robert");
}

// An export of a server whose suffix is dc=example,dc=com holds no dc=com.
const std::string kDcExport =
    "dn: dc=example,dc=com\nobjectClass: domain\n\n"
    "dn: o=Acme,dc=example,dc=com\n\n"
    "dn: ou=Sales,o=Acme,dc=example,dc=com\n\n"
    "dn: cn=Robert,ou=Sales,o=Acme,dc=example,dc=com\n\n"
    "dn: cn=Bob,ou=Sales,o=Acme,dc=example,dc=com\nobjectClass: alias\n"
    "aliasedObjectName: cn=Robert,ou=Sales,o=Acme,dc=example,dc=com\n\n"
    "dn: cn=Away,ou=Sales,o=Acme,dc=example,dc=com\nobjectClass: alias\n"
    "aliasedObjectName: cn=Someone,dc=other,dc=com\n\n"
    "dn: cn=Admin,dc=other,dc=com\n";

TEST(LdifExports, ABaseSaysWhereTheTreeStarts) {
  Export e(kDcExport, "DC=Example, DC=Com");
  ASSERT_EQ(e.result, 0) << e.directory.LastError();
  EXPECT_TRUE(e.Has("\\Acme\\Sales\\Robert"));
  EXPECT_EQ(e.Resolve("\\Acme\\Sales\\Bob"), "\\Acme\\Sales\\Robert");
  // The base's own entry is the tree; what lies outside the base is not in it.
  EXPECT_TRUE(e.Has(""));
  EXPECT_FALSE(e.Has("\\com"));
  EXPECT_FALSE(e.Has("\\Admin"));
  // An alias that leads outside the tree leads nowhere.
  std::string name;
  EXPECT_EQ(e.Read("Sales.Acme", "Away", &name), dirresult::kAliasToNothing);
  EXPECT_EQ(e.Resolve("\\Acme\\Sales\\Away"), "");
}

TEST(LdifExports, WithoutABaseContainersTheFileLacksAreGlue) {
  Export e(kDcExport);
  ASSERT_EQ(e.result, 0) << e.directory.LastError();
  EXPECT_TRUE(e.Has("\\com\\example\\Acme\\Sales\\Robert"));
  EXPECT_EQ(e.Resolve("\\com\\example\\Acme\\Sales\\Bob"), "\\com\\example\\Acme\\Sales\\Robert");
  // dc=com holds entries but is none: as a server answers for a suffix's parent.
  EXPECT_FALSE(e.Has("\\com"));
  EXPECT_TRUE(e.Has("\\com\\example"));
  std::string name;
  EXPECT_EQ(e.Read("", "com", &name), dirresult::kNoSuchEntry);
  // An alias to glue leads nowhere either.
  Export toGlue("dn: cn=X,ou=Glue,o=Acme\n\ndn: o=Acme\n\n"
                "dn: cn=G,o=Acme\nobjectClass: alias\naliasedObjectName: ou=Glue,o=Acme\n");
  ASSERT_EQ(toGlue.result, 0) << toGlue.directory.LastError();
  EXPECT_EQ(toGlue.Read("Acme", "G", &name), dirresult::kAliasToNothing);
  EXPECT_TRUE(toGlue.Has("\\Acme\\Glue\\X"));
}

TEST(LdifExports, ABaseNothingLiesBelowIsRefused) {
  Export e(kDcExport, "dc=example,dc=org");
  EXPECT_EQ(e.result, dirresult::kNothingBelowBase);
  EXPECT_EQ(e.directory.LastError(),
            "export.ldif: no entry of the file lies below the base \"dc=example,dc=org\"");
}

TEST(LdifExports, DanglingAliasesLoadAndLeadNowhere) {
  Export e("dn: o=Acme\n\n"
           "dn: cn=Robert,o=Acme\n\n"
           "dn: cn=Ghost,o=Acme\nobjectClass: alias\naliasedObjectName: cn=Gone,o=Acme\n\n"
           "dn: cn=Chain,o=Acme\nobjectClass: alias\naliasedObjectName: cn=Ghost,o=Acme\n\n"
           // The target's types must match too.
           "dn: cn=Typed,o=Acme\nobjectClass: alias\naliasedObjectName: ou=Robert,o=Acme\n");
  ASSERT_EQ(e.result, 0) << e.directory.LastError();
  for (const char* leaf : {"Ghost", "Chain", "Typed"}) {
    std::string name;
    EXPECT_EQ(e.Read("Acme", leaf, &name), dirresult::kAliasToNothing) << leaf;
    EXPECT_TRUE(e.Has(std::string("\\Acme\\") + leaf));
    EXPECT_EQ(e.Resolve(std::string("\\Acme\\") + leaf), "");
  }
  EXPECT_TRUE(e.view.messages.empty());
}

TEST(LdifExports, SiblingsThatDifferOnlyInTypeAreNamedByTypeOnly) {
  Export e("dn: o=Acme\n\ndn: ou=Sales,o=Acme\n\ndn: cn=Sales,o=Acme\n\n"
           "dn: cn=Bob,ou=Sales,o=Acme\n");
  ASSERT_EQ(e.result, 0) << e.directory.LastError();
  EXPECT_FALSE(e.Has("\\Acme\\Sales"));  // fits both: a failure, not a guess
  EXPECT_TRUE(e.Has("\\Acme\\OU=Sales"));
  EXPECT_TRUE(e.Has("\\Acme\\CN=Sales"));
  EXPECT_TRUE(e.Has("\\Acme\\OU=Sales\\Bob"));
  std::string name;
  // Its typeless name would fit the other one too.
  EXPECT_EQ(e.Read("OU=Sales.Acme", "Bob", &name), dirresult::kNameNotWritable);
}

TEST(LdifExports, NamesWithADotLoadButHaveNoDottedName) {
  Export e("dn: o=Acme\n\ndn: cn=John.Smith,o=Acme\n\n"
           "dn: cn=JS,o=Acme\nobjectClass: alias\naliasedObjectName: cn=John.Smith,o=Acme\n");
  ASSERT_EQ(e.result, 0) << e.directory.LastError();
  EXPECT_TRUE(e.Has("\\Acme\\John.Smith"));
  std::string name;
  EXPECT_EQ(e.Read("Acme", "JS", &name), dirresult::kNameNotWritable);
  EXPECT_EQ(e.Resolve("\\Acme\\JS"), "");
}

TEST(LdifExports, NamesOfSeveralValuesLoadButNoByteStringNamesThem) {
  Export e("dn: o=Acme\n\ndn: cn=John+uid=js,o=Acme\n\ndn: cn=X,cn=John+uid=js,o=Acme\n\n"
           "dn: cn=J,o=Acme\nobjectClass: alias\naliasedObjectName: CN=john+UID=JS,o=acme\n\n"
           "dn: cn=John,o=Acme\n");
  ASSERT_EQ(e.result, 0) << e.directory.LastError();
  EXPECT_FALSE(e.Has("\\Acme\\John+uid=js"));
  EXPECT_TRUE(e.Has("\\Acme\\John"));  // a sibling of one value is not disturbed
  std::string name;
  EXPECT_EQ(e.Read("Acme", "J", &name), dirresult::kNameNotWritable);
}

class UrlValueTest : public ::testing::Test {
 protected:
  void TearDown() override { std::remove(path_.c_str()); }
  std::string WriteBeside(const std::string& text) {
    std::ofstream(path_, std::ios::binary) << text;
    return path_;
  }
  const std::string folder_ = ::testing::TempDir();
  const std::string path_ = folder_ + "zeb_ldif_url_value.txt";
};

TEST_F(UrlValueTest, FileUrlsBesideTheLdifFileOrAbsolute) {
  WriteBeside("cn=Robert,o=Acme");
  const std::string records =
      "dn: o=Acme\n\ndn: cn=Robert,o=Acme\njpegPhoto:< file:no-such-photo.jpg\n\n"
      "dn: cn=Bob,o=Acme\nobjectClass: alias\naliasedObjectName:< ";
  // Relative to the LDIF file's folder; a photo nobody reads need not be there.
  Export relative(records + "file:zeb_ldif_url_value.txt\n", {}, folder_ + "export.ldif");
  ASSERT_EQ(relative.result, 0) << relative.directory.LastError();
  EXPECT_EQ(relative.Resolve("\\Acme\\Bob"), "\\Acme\\Robert");

  std::string url = path_;
  for (char& c : url)
    if (c == '\\') c = '/';
  if (url.front() != '/') url.insert(0, "/");
  Export absolute(records + "file://" + url + "\n");
  ASSERT_EQ(absolute.result, 0) << absolute.directory.LastError();
  EXPECT_EQ(absolute.Resolve("\\Acme\\Bob"), "\\Acme\\Robert");
}

TEST_F(UrlValueTest, AValueFileThatIsNeededAndMissingIsRefusedWithItsLine) {
  Export e("dn: o=Acme\n\ndn: cn=Bob,o=Acme\nobjectClass: alias\n"
           "aliasedObjectName:< file:zeb-no-such-target.txt\n",
           {}, folder_ + "export.ldif");
  EXPECT_EQ(e.result, dirresult::kFileMissing);
  EXPECT_EQ(e.directory.LastError(),
            folder_ + "export.ldif, line 5: the file \"" + folder_ +
                "zeb-no-such-target.txt\" of the value of \"aliasedObjectName\" cannot be read");
}

TEST(LdifExports, StillRefusedWithTheirLine) {
  Export change("dn: o=Acme\n\ndn: cn=Bob,o=Acme\nchangetype: modify\n");
  EXPECT_EQ(change.result, dirresult::kMalformedLdif);
  EXPECT_EQ(change.directory.LastError(),
            "export.ldif, line 4: change records are not supported: the file must hold entries "
            "only");
  Export loop("dn: o=Acme\n\n"
              "dn: cn=A,o=Acme\nobjectClass: alias\naliasedObjectName: cn=B,o=Acme\n\n"
              "dn: cn=B,o=Acme\nobjectClass: alias\naliasedObjectName: cn=A,o=Acme\n");
  EXPECT_EQ(loop.result, dirresult::kAliasLoop);
}

TEST(LdifLocation, ABaseFollowsTheFileNameAsInAnLdapUrl) {
  LdifLocation at = SplitLdifLocation("C:\\ZEB\\export.ldif/dc=example,dc=com");
  EXPECT_EQ(at.file, "C:\\ZEB\\export.ldif");
  EXPECT_EQ(at.base, "dc=example,dc=com");
  at = SplitLdifLocation("/srv/zeb/EXPORT.LDIF/o=Acme");
  EXPECT_EQ(at.file, "/srv/zeb/EXPORT.LDIF");
  EXPECT_EQ(at.base, "o=Acme");
  // A folder named like a file, and a DN holding a slash.
  at = SplitLdifLocation("/srv/a.ldif/b.ldif");
  EXPECT_EQ(at.file, "/srv/a.ldif/b.ldif");
  EXPECT_EQ(at.base, "");
  at = SplitLdifLocation("/srv/a.ldif/x.ldif/cn=a/b,o=Acme");
  EXPECT_EQ(at.file, "/srv/a.ldif/x.ldif");
  EXPECT_EQ(at.base, "cn=a/b,o=Acme");
  at = SplitLdifLocation("C:\\ZEB\\directory.ldif");
  EXPECT_EQ(at.file, "C:\\ZEB\\directory.ldif");
  EXPECT_EQ(at.base, "");
}

}  // namespace
}  // namespace zeb
