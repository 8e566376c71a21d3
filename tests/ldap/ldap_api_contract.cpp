// The LdapApi seam against a real slapd (acme.ldif, acme-extra.ldif, edge-cases.ldif):
// the same cases pass over libldap natively and over wldap32 under Wine. LdapApiPaging runs
// against one whose limits answer an anonymous client at most 3 entries, in pages of 1000 at
// most, LdapApiWithoutControls against one that ignores request controls,
// LdapApiGarbledControls against one whose answers' controls cannot be read (CMakeLists.txt).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "directory/ldif.h"
#include "ldap/ldap_test_backend.h"
#include "platform/text.h"

namespace zeb {
namespace {

using testing::TestLdapApi;

const std::vector<std::string> kAttributes = {"objectClass", "aliasedObjectName"};

struct Found {
  int code = -1;
  std::string matched;
  std::vector<std::string> dns;
  std::vector<std::vector<std::string>> classes;
  std::vector<std::vector<std::string>> targets;
};

class LdapApiContract : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(testing::TestServerUrl().empty()) << "run by tests/ldap/with-slapd.sh";
    session = LdapConnection(api, api.Init(testing::TestServerHost(), testing::TestServerPort(), false));
    ASSERT_TRUE(session);
    ASSERT_EQ(api.SetOption(session.get(), ldapoption::kProtocolVersion, ldapoption::kVersion3), 0);
    ASSERT_EQ(api.SetOption(session.get(), ldapoption::kDeref, ldapoption::kDerefNever), 0);
    ASSERT_EQ(api.Connect(session.get(), 5), 0);
    ASSERT_EQ(api.SimpleBind(session.get(), "", "", 5), 0);
  }

  Found Search(const std::string& base, LdapScope scope, const std::string& filter) {
    Found found;
    LdapResult result(api);
    found.code = api.Search(session.get(), base, scope, filter, kAttributes, 5, result.out());
    if (result.get()) {
      int code = -1;
      EXPECT_EQ(api.ParseResult(session.get(), result.get(), &code, &found.matched), 0);
      EXPECT_EQ(code, found.code);
    }
    if (found.code != 0) return found;
    for (LdapMessage* at = api.FirstEntry(session.get(), result.get()); at;
         at = api.NextEntry(session.get(), at)) {
      found.dns.push_back(api.GetDn(session.get(), at));
      found.classes.push_back(api.GetValues(session.get(), at, "objectClass"));
      found.targets.push_back(api.GetValues(session.get(), at, "aliasedObjectName"));
    }
    return found;
  }

  LdapApi& api = TestLdapApi();
  LdapConnection session;
};

TEST_F(LdapApiContract, BaseSearchOfAnAliasGivesTheAliasItselfWithItsTarget) {
  const Found found = Search("CN=bob,OU=SALES,o=acme", LdapScope::kBase, "(objectClass=*)");
  ASSERT_EQ(found.code, 0);
  ASSERT_EQ(found.dns.size(), 1u);
  EXPECT_EQ(found.dns[0], "cn=Bob,ou=Sales,o=Acme");  // as stored, whatever the case asked
  const std::vector<std::string>& classes = found.classes[0];
  EXPECT_NE(std::find(classes.begin(), classes.end(), "alias"), classes.end());
  EXPECT_EQ(found.targets[0], std::vector<std::string>{"cn=Robert,ou=Sales,o=Acme"});
}

TEST_F(LdapApiContract, AMissingEntryGives32WithTheMatchedDn) {
  Found found = Search("cn=Nobody,ou=Sales,o=Acme", LdapScope::kBase, "(objectClass=*)");
  EXPECT_EQ(found.code, ldapcode::kNoSuchObject);
  EXPECT_EQ(found.matched, "ou=Sales,o=Acme");
  found = Search("cn=X,ou=Nope,o=Nope", LdapScope::kBase, "(objectClass=*)");
  EXPECT_EQ(found.code, ldapcode::kNoSuchObject);
  EXPECT_EQ(found.matched, "");
  // An alias on the way: the server stops at it.
  found = Search("cn=Robert,ou=Vente,o=Acme", LdapScope::kBase, "(objectClass=*)");
  EXPECT_EQ(found.code, ldapcode::kNoSuchObject);
  EXPECT_EQ(found.matched, "ou=Vente,o=Acme");
}

TEST_F(LdapApiContract, ATypelessNameIsNoDn) {
  EXPECT_EQ(Search("Bob.Sales.Acme", LdapScope::kBase, "(objectClass=*)").code,
            ldapcode::kInvalidDnSyntax);
}

TEST_F(LdapApiContract, NonAsciiNamesTravelAsUtf8BothWays) {
  const std::string jose = "cn=Jos\xC3\xA9,ou=Marketing,o=Acme";
  Found found = Search(jose, LdapScope::kBase, "(objectClass=*)");
  ASSERT_EQ(found.code, 0);
  EXPECT_EQ(found.dns, std::vector<std::string>{jose});
  found = Search("ou=Marketing,o=Acme", LdapScope::kOneLevel, "(cn=\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD)");
  ASSERT_EQ(found.code, 0);
  EXPECT_EQ(found.dns,
            std::vector<std::string>{"cn=\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD,ou=Marketing,o=Acme"});
  found = Search("cn=Pepe,ou=Marketing,o=Acme", LdapScope::kBase, "(objectClass=*)");
  ASSERT_EQ(found.code, 0);
  EXPECT_EQ(found.targets[0], std::vector<std::string>{jose});
}

TEST_F(LdapApiContract, OneLevelAndSubtreeSearchesWithEscapedFilters) {
  Found found = Search("ou=Sales,o=Acme", LdapScope::kOneLevel, "(|(cn=Twin)(ou=Twin))");
  ASSERT_EQ(found.code, 0);
  std::sort(found.dns.begin(), found.dns.end());
  EXPECT_EQ(found.dns, (std::vector<std::string>{"cn=Twin,ou=Sales,o=Acme", "ou=Twin,ou=Sales,o=Acme"}));
  found = Search("", LdapScope::kSubtree, "(cn=Smith, John \\28x\\2a\\29)");
  ASSERT_EQ(found.code, 0);
  EXPECT_EQ(found.dns, std::vector<std::string>{"cn=Smith\\2C John (x*),ou=Sales,o=Acme"});
  // The organizations sit at the top of the null suffix.
  found = Search("", LdapScope::kOneLevel, "(o=*)");
  ASSERT_EQ(found.code, 0);
  std::sort(found.dns.begin(), found.dns.end());
  EXPECT_EQ(found.dns, (std::vector<std::string>{"o=Acme", "o=Other"}));
}

TEST_F(LdapApiContract, ABindAnswersWithItsResultCode) {
  LdapConnection other(api, api.Init(testing::TestServerHost(), testing::TestServerPort(), false));
  ASSERT_EQ(api.SetOption(other.get(), ldapoption::kProtocolVersion, ldapoption::kVersion3), 0);
  ASSERT_EQ(api.Connect(other.get(), 5), 0);
  EXPECT_EQ(api.SimpleBind(other.get(), "cn=admin", "wrong", 5), ldapcode::kInvalidCredentials);
  EXPECT_EQ(api.SimpleBind(other.get(), "cn=admin", "secret", 5), 0);
}

class LdapApiPaging : public LdapApiContract {
 protected:
  struct Page {
    int code = -1;
    std::string cookie;
    std::vector<std::string> dns;
  };

  Page NextPage(int pageSize, const std::string& cookie, int timeoutSeconds = 5) {
    Page page;
    page.cookie = cookie;
    LdapResult result(api);
    page.code = api.SearchPage(session.get(), "", LdapScope::kSubtree, "(objectClass=alias)",
                               kAttributes, pageSize, timeoutSeconds, &page.cookie, result.out());
    if (page.code != 0) return page;
    for (LdapMessage* at = api.FirstEntry(session.get(), result.get()); at;
         at = api.NextEntry(session.get(), at))
      page.dns.push_back(api.GetDn(session.get(), at));
    return page;
  }

  // The aliases the server was loaded with, counted in the LDIF it was loaded from.
  static std::size_t AliasesLoaded() {
    const char* dir = std::getenv("ZEB_TEST_SLAPD_DIR");
    if (!dir) return 0;
    std::size_t aliases = 0;
    for (const LdifRecord& record : ReadLdifFile(std::string(dir) + "/all.ldif").records)
      for (const LdifAttribute& attribute : record.attributes)
        if (EqualsIgnoreCase(attribute.type, "objectClass") &&
            EqualsIgnoreCase(attribute.value, "alias"))
          ++aliases;
    return aliases;
  }
};

TEST_F(LdapApiPaging, OneAnswerStopsAtTheLimitAndPagesGoOnToTheEnd) {
  const std::size_t loaded = AliasesLoaded();
  ASSERT_GT(loaded, 10u);
  EXPECT_EQ(Search("", LdapScope::kSubtree, "(objectClass=alias)").code,
            ldapcode::kSizeLimitExceeded);
  for (const int pageSize : {2, 5}) {
    std::set<std::string> seen;
    std::string cookie;
    int pages = 0;
    do {
      const Page page = NextPage(pageSize, cookie);
      ASSERT_EQ(page.code, 0) << "page " << pages << " of " << pageSize;
      EXPECT_LE(page.dns.size(), static_cast<std::size_t>(pageSize));
      for (const std::string& dn : page.dns) EXPECT_TRUE(seen.insert(dn).second) << dn;
      cookie = page.cookie;
      ASSERT_LT(++pages, 100);
    } while (!cookie.empty());
    // Every alias once, the last page's cookie empty.
    EXPECT_EQ(seen.size(), loaded) << pageSize;
    EXPECT_GE(pages, static_cast<int>(loaded) / pageSize) << pageSize;
  }
}

TEST_F(LdapApiPaging, APageLargerThanTheServerAllowsFailsWithItsCode) {
  const Page page = NextPage(1001, "");
  EXPECT_EQ(page.code, ldapcode::kAdminLimitExceeded);
  EXPECT_EQ(page.cookie, "");
}

TEST_F(LdapApiPaging, APageWaitsAtMostTheTimeout) {
  const Page first = NextPage(2, "");
  ASSERT_EQ(first.code, 0);
  ASSERT_FALSE(first.cookie.empty());
  if (!testing::PauseTestServer()) GTEST_SKIP() << "this build cannot pause the server";
  const auto start = std::chrono::steady_clock::now();
  const Page next = NextPage(2, first.cookie, 1);
  const auto took = std::chrono::steady_clock::now() - start;
  ASSERT_TRUE(testing::ResumeTestServer());
  EXPECT_EQ(next.code, ldapcode::kTimeout);
  EXPECT_EQ(next.cookie, "");
  EXPECT_LT(took, std::chrono::milliseconds(2500));
}

using LdapApiWithoutControls = LdapApiPaging;

// No response control: the answer is the whole answer, and no page follows.
TEST_F(LdapApiWithoutControls, AServerThatIgnoresTheControlGivesItsWholeAnswer) {
  const Page page = NextPage(2, "");
  ASSERT_EQ(page.code, 0);
  EXPECT_EQ(page.cookie, "");
  EXPECT_EQ(page.dns.size(), AliasesLoaded());
}

using LdapApiGarbledControls = LdapApiPaging;

// A page whose cookie cannot be read fails: its entries are never taken for the whole answer.
TEST_F(LdapApiGarbledControls, APageWhoseControlCannotBeReadFails) {
  const Page page = NextPage(2, "");
  EXPECT_EQ(page.code, ldapcode::kDecodingError);
  EXPECT_EQ(page.cookie, "");
}

TEST(LdapApiServerGone, NothingListeningFailsTheConnectionAtOnce) {
  LdapApi& api = TestLdapApi();
  LdapConnection session(api, api.Init("127.0.0.1", testing::ClosedPort(), false));
  ASSERT_TRUE(session);
  int rc = api.Connect(session.get(), 5);
  if (rc == 0) rc = api.SimpleBind(session.get(), "", "", 5);
  EXPECT_TRUE(rc == ldapcode::kServerDown || rc == ldapcode::kConnectError) << rc;
}

TEST(LdapApiServerGone, AServerThatNeverAnswersTimesOutTheBind) {
  LdapApi& api = TestLdapApi();
  testing::SilentServer silent;
  LdapConnection session(api, api.Init("127.0.0.1", silent.port(), false));
  ASSERT_TRUE(session);
  int rc = api.Connect(session.get(), 1);
  if (rc == 0) rc = api.SimpleBind(session.get(), "", "", 1);
  EXPECT_EQ(rc, ldapcode::kTimeout);
}

}  // namespace
}  // namespace zeb
