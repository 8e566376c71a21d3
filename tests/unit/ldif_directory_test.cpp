#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "directory/ldif_directory.h"
#include "directory/ldif_result.h"
#include "directory/names.h"
#include "platform/text.h"
#include "support/recording_view.h"
#include "support/sample_paths.h"

namespace zeb {
namespace {

using Call = LdifDirectory::Call;

const std::string kTree = "VRX:\\\\ACME_TREE";

// The sample directory brought up the way the start-up does it.
class SampleDirectoryTest : public ::testing::Test {
 protected:
  SampleDirectoryTest()
      : directory(DirectoryConfig{testing::SampleDirectoryFile(), "ACME_TREE",
                                  "Robert.Sales.Acme"}) {}

  void SetUp() override {
    ASSERT_EQ(directory.DXCallsInit(), 0) << directory.LastError();
    ASSERT_EQ(directory.DXVRCreateContextHandle(&context), 0);
    std::uint32_t flags = 0;
    ASSERT_EQ(directory.DXVRGetContext(context, contextkey::kFlags, &flags), 0);
    ASSERT_EQ(directory.DXVRSetContextFlags(context, flags | kTypelessNamesFlag), 0);
  }

  DirectoryNames Names() { return DirectoryNames(directory, context, "ACME_TREE", view); }

  // ResolveAlias of a path under the tree; the target, or "" when it answers false.
  std::string Resolve(const std::string& path) {
    std::string target;
    return Names().ResolveAlias(kTree + path, &target) ? target : "";
  }

  LdifDirectory directory;
  DirContextHandle context = 0;
  testing::RecordingView view;
};

TEST_F(SampleDirectoryTest, FindEntryByFullName) {
  EXPECT_TRUE(directory.FindEntry(kTree));
  EXPECT_TRUE(directory.FindEntry("vrx:\\\\acme_tree"));
  EXPECT_TRUE(directory.FindEntry(kTree + "\\Acme\\Sales\\Robert"));
  EXPECT_TRUE(directory.FindEntry(kTree + "\\ACME\\sales\\ROBERT"));
  EXPECT_TRUE(directory.FindEntry(kTree + "\\O=Acme\\ou=Sales\\CN=Robert"));
  EXPECT_TRUE(directory.FindEntry(kTree + "\\Org\\SYS"));
  // Aliases are entries too.
  EXPECT_TRUE(directory.FindEntry(kTree + "\\Acme\\Sales\\Bob"));
  EXPECT_TRUE(directory.FindEntry(kTree + "\\Acme\\Old"));
  // An alias above the last component is followed.
  EXPECT_TRUE(directory.FindEntry(kTree + "\\Acme\\Old\\Alice"));
  EXPECT_TRUE(directory.FindEntry(kTree + "\\Acme\\Old\\Q1"));
  // The same names without the "VRX:" letters, as tree paths are looked up.
  EXPECT_TRUE(directory.FindEntry("\\\\ACME_TREE\\Acme\\Sales\\Q1"));
  EXPECT_TRUE(directory.FindEntry("\\\\acme_tree"));
  EXPECT_FALSE(directory.FindEntry("\\ACME_TREE\\Acme"));
  EXPECT_FALSE(directory.FindEntry("VRX:ACME_TREE\\Acme"));
}

TEST_F(SampleDirectoryTest, FindEntryRefusesOtherNames) {
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Acme\\Sales\\Nobody"));
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Acme\\Sales\\"));
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Acme\\\\Sales"));
  EXPECT_FALSE(directory.FindEntry(kTree + "\\OU=Acme"));
  EXPECT_FALSE(directory.FindEntry(kTree + "\\=Acme"));
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Sales"));
  EXPECT_FALSE(directory.FindEntry("VRX:\\\\OTHER_TREE\\Acme"));
  EXPECT_FALSE(directory.FindEntry("VRX:\\\\ACME_TREEX"));
  EXPECT_FALSE(directory.FindEntry("\\\\ACME_TREE\\.Acme"));
  EXPECT_FALSE(directory.FindEntry(""));
  // Nothing lies below a leaf, alias or not.
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Acme\\Sales\\Bob\\X"));
}

TEST_F(SampleDirectoryTest, AccentedLettersMatchOnlyInTheirOwnCase) {
  EXPECT_TRUE(directory.FindEntry(kTree + "\\Acme\\\xC9quipe\\Zo\xE9"));
  EXPECT_TRUE(directory.FindEntry(kTree + "\\ACME\\\xC9QUIPE\\ZO\xE9"));
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Acme\\\xE9quipe"));
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Acme\\\xC9quipe\\Zo\xC9"));
  EXPECT_EQ(Resolve("\\Acme\\\xE9quipe"), "");
  EXPECT_EQ(Resolve("\\ACME\\\xC9QUIPE\\ZO\xE9"), "");
}

TEST_F(SampleDirectoryTest, AnAliasGivesItsTargetInTheSameForm) {
  EXPECT_EQ(Resolve("\\Acme\\Sales\\Bob"), kTree + "\\Acme\\Marketing\\Robert");
  EXPECT_EQ(Resolve("\\ACME\\SALES\\BOB"), kTree + "\\Acme\\Marketing\\Robert");
  EXPECT_EQ(Resolve("\\Acme\\Sales\\Rob"), kTree + "\\Acme\\Sales\\Robert");
  EXPECT_EQ(Resolve("\\Acme\\Marketing\\Alice"), kTree + "\\Acme\\Sales\\Alice");
  EXPECT_EQ(Resolve("\\Acme\\Sales\\Q1"), kTree + "\\Acme\\Sales\\Q2");
  EXPECT_EQ(Resolve("\\Org\\Unit\\SYS"), kTree + "\\Org\\Vol1");
  EXPECT_EQ(Resolve("\\Acme\\Old"), kTree + "\\Acme\\Sales");
  EXPECT_EQ(Resolve("\\Acme\\Sales\\Zoe"), kTree + "\\Acme\\\xC9quipe\\Zo\xE9");
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(SampleDirectoryTest, ANameThroughAContainerAliasResolves) {
  EXPECT_EQ(Resolve("\\Acme\\Old\\Q2"), kTree + "\\Acme\\Sales\\Q2");
  EXPECT_EQ(Resolve("\\Acme\\Old\\Alice"), kTree + "\\Acme\\Sales\\Alice");
  // Both the container and the leaf are aliases.
  EXPECT_EQ(Resolve("\\Acme\\Old\\Bob"), kTree + "\\Acme\\Marketing\\Robert");
}

TEST_F(SampleDirectoryTest, ObjectsThatAreNoAliasGiveFalse) {
  for (const char* path : {"\\Acme\\Sales\\Robert", "\\acme\\SALES\\robert", "\\Acme\\Sales\\Q2",
                           "\\Org\\Vol1", "\\Org\\FS1", "\\Org\\Unit\\User1", "\\Acme", ""}) {
    std::string target;
    EXPECT_FALSE(Names().ResolveAlias(kTree + path, &target)) << path;
  }
  // The target is set all the same: the object itself, as the directory spells it.
  std::string target;
  EXPECT_FALSE(Names().ResolveAlias(kTree + "\\ACME\\SALES\\ROBERT", &target));
  EXPECT_EQ(target, kTree + "\\Acme\\Sales\\Robert");
}

TEST_F(SampleDirectoryTest, MissingNamesGiveFalseWithoutAMessage) {
  EXPECT_EQ(Resolve("\\Acme\\Sales\\Nobody"), "");
  EXPECT_EQ(Resolve("\\Nowhere"), "");
  std::string target;
  EXPECT_FALSE(Names().ResolveAlias("VRX:\\\\OTHER\\Acme\\Sales\\Bob", &target));
  EXPECT_FALSE(Names().ResolveAlias("", &target));
  EXPECT_TRUE(view.messages.empty());
}

// A consistent directory cannot hold an alias whose target differs from it only in ASCII
// case (the file loader refuses it as a loop), so a client that reports one is simulated:
// it answers every ReadObjectName with the name asked for, upper-cased.
class ClientReportingTargetsInOtherCase : public LdifDirectory {
 public:
  using LdifDirectory::LdifDirectory;
  std::int32_t DXVRSetContextName(DirContextHandle context,
                                  const std::string& nameContext) override {
    nameContext_ = nameContext;
    return LdifDirectory::DXVRSetContextName(context, nameContext);
  }
  std::int32_t ReadObjectName(DirContextHandle context, const std::string& leaf,
                              std::string* objectName) override {
    std::string followed;
    const std::int32_t result = LdifDirectory::ReadObjectName(context, leaf, &followed);
    *objectName = UpperAscii(leaf + "." + nameContext_);
    return result;
  }

 private:
  std::string nameContext_;
};

TEST(TargetInOtherCase, AnAliasWhoseTargetDiffersOnlyInAsciiCaseGivesFalse) {
  ClientReportingTargetsInOtherCase client(
      DirectoryConfig{testing::SampleDirectoryFile(), "ACME_TREE", ""});
  DirContextHandle context = 0;
  ASSERT_EQ(client.DXCallsInit(), 0);
  ASSERT_EQ(client.DXVRCreateContextHandle(&context), 0);
  ASSERT_EQ(client.DXVRSetContextFlags(context, kTypelessNamesFlag), 0);
  testing::RecordingView view;
  DirectoryNames names(client, context, "ACME_TREE", view);
  std::string target;
  EXPECT_FALSE(names.ResolveAlias(kTree + "\\Acme\\Sales\\Bob", &target));
  EXPECT_EQ(target, kTree + "\\Acme\\Sales\\Bob");
}

TEST_F(SampleDirectoryTest, CanonicalizeName) {
  DirectoryNames names = Names();
  EXPECT_EQ(names.CanonicalizeName("bob.sales.acme"), "Robert.Marketing.Acme");
  EXPECT_EQ(names.CanonicalizeName(".CN=Bob.OU=Sales.O=Acme"), "Robert.Marketing.Acme");
  EXPECT_EQ(names.CanonicalizeName("ROBERT.SALES.ACME"), "Robert.Sales.Acme");
  EXPECT_EQ(names.CanonicalizeName("Q2.Old.Acme"), "Q2.Sales.Acme");
  EXPECT_EQ(names.CanonicalizeName("Acme"), "Acme");
  // Names the directory does not know come back unchanged, without a message.
  EXPECT_EQ(names.CanonicalizeName("Nobody.Sales.Acme"), "Nobody.Sales.Acme");
  EXPECT_EQ(names.CanonicalizeName("Unit.Org."), "Unit.Org.");
  EXPECT_EQ(names.CanonicalizeName("OU=Robert.OU=Sales.O=Acme"), "OU=Robert.OU=Sales.O=Acme");
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(SampleDirectoryTest, CanonicalNamesAreTypefulWithoutTheTypelessFlag) {
  ASSERT_EQ(directory.DXVRSetContextFlags(context, 0), 0);
  std::string name;
  ASSERT_EQ(directory.DXVRCanonicalizeName(context, "robert.sales.acme", &name), 0);
  EXPECT_EQ(name, "CN=Robert.OU=Sales.O=Acme");
  // Which is why the start-up asks for typeless names: otherwise every object looks moved.
  EXPECT_EQ(Resolve("\\Acme\\Sales\\Robert"), kTree + "\\Acme\\Sales\\Robert");
}

TEST_F(SampleDirectoryTest, ReadObjectNameFollowsTheLastAliasCanonicalizeDoesNot) {
  ASSERT_EQ(directory.DXVRSetContextName(context, "Sales.Acme"), 0);
  std::string name;
  ASSERT_EQ(directory.ReadObjectName(context, "BOB", &name), 0);
  EXPECT_EQ(name, "Robert.Marketing.Acme");
  ASSERT_EQ(directory.DXVRCanonicalizeName(context, ".bob.old.acme", &name), 0);
  EXPECT_EQ(name, "Bob.Sales.Acme");
  EXPECT_EQ(directory.ReadObjectName(context, "", &name), dirresult::kNoSuchEntry);
  EXPECT_EQ(directory.ReadObjectName(context, "Nobody", &name), dirresult::kNoSuchEntry);
  EXPECT_EQ(directory.DXVRCanonicalizeName(context, "", &name), dirresult::kNoSuchEntry);
  ASSERT_EQ(directory.DXVRSetContextName(context, ""), 0);
  ASSERT_EQ(directory.ReadObjectName(context, "Org", &name), 0);
  EXPECT_EQ(name, "Org");
}

// Each client call, made to fail, makes ResolveAlias answer false and CanonicalizeName
// return its input.
class InjectedFailureTest : public SampleDirectoryTest,
                            public ::testing::WithParamInterface<Call> {};

TEST_P(InjectedFailureTest, ResolveAliasFalseAndCanonicalizeReturnsItsInput) {
  directory.FailCall(GetParam(), -601);
  DirectoryNames names = Names();
  EXPECT_EQ(names.CanonicalizeName(".Bob.Sales.Acme"), ".Bob.Sales.Acme");
  std::string target;
  EXPECT_FALSE(names.ResolveAlias(kTree + "\\Acme\\Sales\\Bob", &target));
  directory.ClearFailures();
  EXPECT_TRUE(names.ResolveAlias(kTree + "\\Acme\\Sales\\Bob", &target));
}

INSTANTIATE_TEST_SUITE_P(LookUpCalls, InjectedFailureTest,
                         ::testing::Values(Call::kSetContextName, Call::kReadObjectName,
                                           Call::kCanonicalizeName));

TEST_F(SampleDirectoryTest, OnlyTheCanonicalizeFailureIsShown) {
  directory.FailCall(Call::kSetContextName, -1);
  Resolve("\\Acme\\Sales\\Bob");
  directory.ClearFailures();
  directory.FailCall(Call::kReadObjectName, -2);
  Resolve("\\Acme\\Sales\\Bob");
  EXPECT_TRUE(view.messages.empty());
  directory.ClearFailures();
  directory.FailCall(Call::kCanonicalizeName, -330);
  Resolve("\\Acme\\Sales\\Bob");
  EXPECT_EQ(view.messages, std::vector<std::string>{"DXVRCanonicalizeName failed (-330)"});
}

TEST(StartUpCalls, EachCanBeMadeToFail) {
  const DirectoryConfig config{testing::SampleDirectoryFile(), "ACME_TREE", "Robert.Sales.Acme"};
  testing::RecordingView view;
  std::string target;
  {
    LdifDirectory client(config);
    client.FailCall(Call::kCallsInit, -1);
    EXPECT_EQ(client.DXCallsInit(), -1);
    DirContextHandle context = 5;
    EXPECT_EQ(client.DXVRCreateContextHandle(&context), dirresult::kNotInitialised);
    DirectoryNames names(client, context, "ACME_TREE", view);
    EXPECT_EQ(names.CanonicalizeName("Bob.Sales.Acme"), "Bob.Sales.Acme");
    EXPECT_FALSE(names.ResolveAlias(kTree + "\\Acme\\Sales\\Bob", &target));
  }
  {
    LdifDirectory client(config);
    ASSERT_EQ(client.DXCallsInit(), 0);
    client.FailCall(Call::kCreateContextHandle, -2);
    DirContextHandle context = 5;
    EXPECT_EQ(client.DXVRCreateContextHandle(&context), -2);
    DirectoryNames names(client, context, "ACME_TREE", view);
    EXPECT_FALSE(names.ResolveAlias(kTree + "\\Acme\\Sales\\Bob", &target));
  }
  {
    LdifDirectory client(config);
    ASSERT_EQ(client.DXCallsInit(), 0);
    DirContextHandle context = 0;
    ASSERT_EQ(client.DXVRCreateContextHandle(&context), 0);
    client.FailCall(Call::kGetContext, -3);
    client.FailCall(Call::kSetContextFlags, -4);
    std::uint32_t flags = 0;
    EXPECT_EQ(client.DXVRGetContext(context, contextkey::kFlags, &flags), -3);
    EXPECT_EQ(client.DXVRSetContextFlags(context, kTypelessNamesFlag), -4);
    // The flags stayed unset: every name comes back typeful and looks moved.
    DirectoryNames names(client, context, "ACME_TREE", view);
    EXPECT_EQ(names.CanonicalizeName("Robert.Sales.Acme"), "CN=Robert.OU=Sales.O=Acme");
  }
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(SampleDirectoryTest, ContextsAndReleases) {
  std::uint32_t flags = 0;
  EXPECT_EQ(directory.DXVRGetContext(context, contextkey::kFlags, &flags), 0);
  EXPECT_EQ(flags, kTypelessNamesFlag);
  EXPECT_EQ(directory.DXVRGetContext(context, contextkey::kNameContext, &flags),
            dirresult::kUnknownContextKey);
  EXPECT_EQ(directory.DXVRGetContext(context + 1, contextkey::kFlags, &flags),
            dirresult::kUnknownContext);
  EXPECT_EQ(directory.DXVRSetContextName(context, std::string(257, 'a')),
            dirresult::kNameTooLong);
  EXPECT_EQ(directory.DXVRSetContextName(context, std::string(256, 'a')), 0);

  DirContextHandle second = 0;
  ASSERT_EQ(directory.DXVRCreateContextHandle(&second), 0);
  EXPECT_NE(second, context);
  directory.FreeContext(context);
  EXPECT_EQ(directory.DXVRGetContext(context, contextkey::kFlags, &flags),
            dirresult::kUnknownContext);
  EXPECT_EQ(directory.FreedContexts(), std::vector<DirContextHandle>{context});
  EXPECT_EQ(directory.FreeUnicodeTablesCalls(), 0);
  directory.FreeUnicodeTables();
  EXPECT_EQ(directory.FreeUnicodeTablesCalls(), 1);
}

TEST_F(SampleDirectoryTest, SessionAndControlProperties) {
  EXPECT_EQ(directory.DefaultFullName(), kTree + "\\Acme\\Sales\\Robert");
  directory.SetFullName(directory.DefaultFullName());
  EXPECT_EQ(directory.FullName(), kTree + "\\Acme\\Sales\\Robert");
  EXPECT_EQ(directory.GetTreeName(directory.FullName()), "ACME_TREE");
  EXPECT_EQ(directory.GetTreeName("vrx:\\\\Other"), "Other");
  EXPECT_EQ(directory.GetTreeName("Acme\\Sales"), "");
  std::string leaf;
  EXPECT_TRUE(directory.FindTree("acme_tree", &leaf));
  EXPECT_EQ(leaf, "Robert");
  EXPECT_FALSE(directory.FindTree("OTHER_TREE", &leaf));
  EXPECT_EQ(directory.GetClientKind(), 4);
  const ClientVersion version = directory.GetClientVersion();
  EXPECT_EQ(version.major, 5);
  EXPECT_EQ(version.minor, 2);
}

TEST(LoggedInUser, NamesAsTheDirectorySpellsThem) {
  // Logged in through an alias: the session is the alias's name, not its target.
  LdifDirectory viaAlias(DirectoryConfig{testing::SampleDirectoryFile(), "ACME_TREE",
                                         ".bob.SALES.acme"});
  EXPECT_EQ(viaAlias.DefaultFullName(), kTree + "\\Acme\\Sales\\Bob");
  std::string leaf;
  ASSERT_TRUE(viaAlias.FindTree("ACME_TREE", &leaf));
  EXPECT_EQ(leaf, "Bob");

  // A user the directory does not know keeps the configured spelling.
  LdifDirectory unknown(DirectoryConfig{testing::SampleDirectoryFile(), "ACME_TREE",
                                        "CN=Ghost.OU=Gone.O=Acme"});
  EXPECT_EQ(unknown.DefaultFullName(), kTree + "\\Acme\\Gone\\Ghost");
  ASSERT_TRUE(unknown.FindTree("ACME_TREE", &leaf));
  EXPECT_EQ(leaf, "Ghost");

  LdifDirectory nobody(DirectoryConfig{testing::SampleDirectoryFile(), "ACME_TREE", ""});
  EXPECT_EQ(nobody.DefaultFullName(), kTree);
  ASSERT_TRUE(nobody.FindTree("ACME_TREE", &leaf));
  EXPECT_EQ(leaf, "");
}

TEST(TreeName, FromTheConfigurationElseFromTheFile) {
  // A file written for this program may name its tree; a server's export does not.
  const LdifContent named = ParseLdif(
      "dn: t=ACME_TREE\n\ndn: o=Acme\n\ndn: ou=Sales,o=Acme\n\ndn: cn=Robert,ou=Sales,o=Acme\n",
      "named.ldif");
  LdifDirectory fromFile(named, "", "Robert.Sales.Acme");
  EXPECT_EQ(fromFile.DefaultFullName(), kTree + "\\Acme\\Sales\\Robert");
  EXPECT_TRUE(fromFile.FindEntry(kTree + "\\Acme"));
  LdifDirectory unnamed(DirectoryConfig{testing::SampleDirectoryFile(), "", "Robert.Sales.Acme"});
  EXPECT_EQ(unnamed.DefaultFullName(), "VRX:\\\\\\Acme\\Sales\\Robert");

  LdifDirectory configured(
      DirectoryConfig{testing::SampleDirectoryFile(), "OTHER_TREE", "Robert.Sales.Acme"});
  EXPECT_EQ(configured.DefaultFullName(), "VRX:\\\\OTHER_TREE\\Acme\\Sales\\Robert");
  EXPECT_TRUE(configured.FindEntry("VRX:\\\\OTHER_TREE\\Acme"));
  EXPECT_FALSE(configured.FindEntry(kTree + "\\Acme"));
}

}  // namespace
}  // namespace zeb
