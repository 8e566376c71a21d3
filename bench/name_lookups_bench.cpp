// How many questions reach the directory client, and how long they take, when the name
// operations ask every call anew and when they go through the run's memo and alias index.
// A generated tree (organizations, units, users, one alias in ten) in the LDIF directory,
// and a scan's worth of candidate names: every name met several times, as a workstation
// repeats its user, its printers and its volumes, some through an alias, some typeful, some
// unknown to the directory.
//
//   name_lookups_bench [UNITS] [NAMES] [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "directory/counting_directory.h"
#include "directory/ldif_directory.h"
#include "directory/names.h"
#include "platform/view.h"

namespace zeb {
namespace {

class NoMessages : public MessageBoxes {
 public:
  void ShowMessage(const std::string&) override {}
  void ShowError(const std::string&) override {}
  bool ConfirmInformation(const std::string&) override { return true; }
  bool ConfirmWarning(const std::string&) override { return true; }
};

std::string GeneratedLdif(int units) {
  std::string ldif;
  for (int o = 0; o < 4; ++o) {
    const std::string org = "o=Org" + std::to_string(o);
    ldif += "dn: " + org + "\n\n";
    for (int u = 0; u < units; ++u) {
      const std::string unit = "ou=Unit" + std::to_string(u) + "," + org;
      ldif += "dn: " + unit + "\n\n";
      for (int c = 0; c < 10; ++c) {
        const std::string user = "cn=User" + std::to_string(c) + "," + unit;
        if (c == 9) {
          ldif += "dn: " + user + "\nobjectClass: alias\naliasedObjectName: cn=User0," + unit +
                  "\n\n";
        } else {
          ldif += "dn: " + user + "\nobjectClass: inetOrgPerson\n\n";
        }
      }
    }
  }
  return ldif;
}

std::vector<std::string> CandidateNames(int units, int count) {
  std::mt19937 random(42);
  const auto pick = [&](int high) { return std::uniform_int_distribution<int>(0, high)(random); };
  std::vector<std::string> distinct;
  for (int i = 0; i < count / 4; ++i) {
    const int kind = pick(9);
    std::string path = "\\Org" + std::to_string(pick(3)) + "\\Unit" + std::to_string(pick(units - 1));
    if (kind == 0) path = "\\Org" + std::to_string(pick(3)) + "\\Gone" + std::to_string(i);
    path += "\\User" + std::to_string(kind == 1 ? 9 : pick(9));
    if (kind == 2) path = "\\O=Org0\\OU=Unit0\\CN=User" + std::to_string(pick(9));
    // Shortcut targets: a file below the object.
    if (kind >= 7) path += "\\APPS\\WP.EXE";
    distinct.push_back("VRX:\\\\BENCH" + path);
  }
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.push_back(distinct[static_cast<std::size_t>(pick(int(distinct.size()) - 1))]);
  return names;
}

struct Outcome {
  double ms;
  std::size_t lookUps;
  std::size_t aliases;
};

Outcome Scan(LdifDirectory& directory, DirContextHandle context,
             const std::vector<std::string>& candidates, int lookups) {
  CountingDirectory counted(directory);
  NoMessages messages;
  const auto start = std::chrono::steady_clock::now();
  DirectoryNames names(counted, context, "BENCH", messages, lookups);
  std::size_t aliases = 0;
  for (const std::string& candidate : candidates) {
    std::string target;
    // As the shortcut scanner does: the object part first, then whether it is an alias.
    const NameSplit split = names.FindObjectPrefix(candidate);
    if (!split.objectPart.empty() && names.ResolveAlias(split.objectPart, &target)) ++aliases;
    if (names.ResolveAlias(candidate, &target)) ++aliases;
  }
  const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
  return {elapsed.count(), counted.LookUps(), aliases};
}

}  // namespace
}  // namespace zeb

int main(int argc, char** argv) {
  using namespace zeb;
  const int units = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
  const int count = argc > 2 ? std::max(4, std::atoi(argv[2])) : 20000;
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
  LdifDirectory directory(ParseLdif(GeneratedLdif(units), "generated.ldif"), "BENCH", "");
  DirContextHandle context = 0;
  if (directory.DXCallsInit() != 0 || directory.DXVRCreateContextHandle(&context) != 0 ||
      directory.DXVRSetContextFlags(context, kTypelessNamesFlag) != 0) {
    std::printf("name_lookups_bench: the generated directory did not load: %s\n",
                directory.LastError().c_str());
    return 1;
  }
  const std::vector<std::string> candidates = CandidateNames(units, count);
  std::printf("entries=%d candidates=%d runs=%d (best run of each, side by side)\n",
              4 * units * 11 + 4, count, runs);
  Outcome best[2] = {{1e300, 0, 0}, {1e300, 0, 0}};
  const int modes[2] = {lookups::kEveryCall, lookups::kMemoAndIndex};
  for (int run = 0; run < runs; ++run) {
    for (int m = 0; m < 2; ++m) {
      const Outcome outcome = Scan(directory, context, candidates, modes[m]);
      if (outcome.ms < best[m].ms) best[m] = outcome;
    }
  }
  const char* labels[2] = {"every_call", "memo_and_index"};
  for (int m = 0; m < 2; ++m)
    std::printf("%s ms=%.1f client_lookups=%zu aliases_found=%zu\n", labels[m], best[m].ms,
                best[m].lookUps, best[m].aliases);
  std::printf("lookups_ratio=%.3f time_ratio=%.3f\n",
              double(best[1].lookUps) / double(best[0].lookUps), best[1].ms / best[0].ms);
  return best[0].aliases == best[1].aliases ? 0 : 2;
}
