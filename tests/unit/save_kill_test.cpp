// Save stopped at every one of its platform writes in turn, as a process killed there (the
// memory backends' write budget): at no stopping point may a renamed value, INI variable or key,
// or what its rename replaces, be gone before the rename is complete.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "changes/undo_image.h"
#include "platform/memory/write_budget.h"
#include "platform/registry.h"
#include "support/memory_workstation.h"
#include "support/save_setup.h"

namespace zeb {
namespace {

constexpr RegKey kHklm = hkey::kLocalMachine;
constexpr char kIni[] = "C:\\WINDOWS\\NET.INI";
constexpr std::size_t kMostWrites = 500;

using Bytes = std::vector<std::uint8_t>;
using Strings = std::vector<std::string>;

struct Station : testing::MemoryWorkstation {
  Station() {
    files.MakeFolder("C:\\WINDOWS");
    setup.iniFile = kIni;
  }

  // Save stopped at its write number `writes` + 1; true when it came to its end before.
  bool SaveStoppedAfter(std::size_t writes) {
    budget = WriteBudget(writes);
    registry.UseWriteBudget(&budget);
    files.UseWriteBudget(&budget);
    bool completed = true;
    try {
      setup.Save();
    } catch (const SimulatedKill&) {
      completed = false;
    }
    registry.UseWriteBudget(nullptr);
    files.UseWriteBudget(nullptr);
    return completed;
  }

  // Every string's text anywhere below `path`, wherever a move has put it.
  Strings TextsBelow(const std::string& path) {
    Strings texts;
    const std::function<void(const RegistryKeyImage&)> collect = [&](const RegistryKeyImage& key) {
      for (const RegValue& value : key.values)
        if (value.type == regtype::kString)
          texts.emplace_back(value.data.begin(), std::find(value.data.begin(), value.data.end(), 0));
      for (const auto& subKey : key.subKeys) collect(subKey.image);
    };
    const auto image = CaptureKey(registry, kHklm, path);
    if (image) collect(*image);
    return texts;
  }
  bool HasTextBelow(const std::string& path, const std::string& text) {
    const Strings texts = TextsBelow(path);
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  }
  Strings KeyNames(const std::string& path) {
    zeb::Registry layer(registry, kHklm);
    if (!layer.OpenKey(path, false)) return {};
    return layer.GetKeyNames();
  }

  WriteBudget budget{0};
  testing::SaveSetup setup{registry, profiles, finder, shellLinks, facts, fileBytes};
};

// Runs `seed`, Save stopped after k writes and `check` for k = 0, 1, ... until Save completes.
void ForEveryStoppingPoint(const std::function<void(Station&)>& seed,
                           const std::function<void(Station&, bool completed)>& check) {
  for (std::size_t k = 0; k < kMostWrites; ++k) {
    SCOPED_TRACE("stopped after write " + std::to_string(k));
    Station station;
    seed(station);
    const bool completed = station.SaveStoppedAfter(k);
    check(station, completed);
    if (completed || ::testing::Test::HasFailure()) return;
  }
  ADD_FAILURE() << "Save never came to its end";
}

// The old entry's contents are under the new name, or still under the old one with the entry
// it replaces untouched.
template <typename Entry>
void ExpectRenamedOrUntouched(const Entry& oldNow, const Entry& newNow, const Entry& oldBefore,
                              const Entry& replacedBefore, bool completed, const std::string& what) {
  if (newNow == oldBefore) {
    if (completed) {
      EXPECT_NE(oldNow, oldBefore) << what << ": the old entry stayed";
    }
    return;
  }
  EXPECT_FALSE(completed) << what << ": not renamed";
  EXPECT_EQ(oldNow, oldBefore) << what << ": lost";
  EXPECT_EQ(newNow, replacedBefore) << what << ": what it replaces is lost";
}

TEST(SaveKillTest, NoStoppingPointLosesARenamedValueOrVariableOrWhatItReplaces) {
  const std::string key = "\\Soft\\K";
  const auto seed = [&](Station& s) {
    s.setup.SetString(kHklm, key, "Str", "str-data");
    s.setup.SetString(kHklm, key, "StrNew", "str-target");
    s.setup.SetRaw(kHklm, key, "Dw", regtype::kDword, {0x11, 0x22, 0x33, 0x44});
    s.setup.SetRaw(kHklm, key, "Bin", regtype::kBinary, Bytes(20000, 7));
    s.setup.SetRaw(kHklm, key, "BinNew", regtype::kBinary, {9, 9});
    s.setup.SetIni("Net", "Server", "srv-data");
    s.setup.SetIni("Net", "Existing", "ini-target");
    s.setup.SetIni("Net", "Ctx", "ctx-data");
    s.setup.Add(kHklm, kChangeVariableName, key, "Str", "StrNew");
    s.setup.Add(kHklm, kChangeVariableName, key, "Dw", "DwNew");
    s.setup.Add(kHklm, kChangeVariableName, key, "Bin", "BinNew");
    s.setup.Add(changekind::kIniEntry, kChangeVariableName, kIni, "[Net]Server", "Existing");
    s.setup.Add(changekind::kIniEntry, kChangeVariableName, kIni, "[Net]Ctx", "Context");
  };
  const auto value = [&](Station& s, const std::string& name) {
    const std::optional<RegValue> v = s.setup.Value(kHklm, key, name);
    return v ? RegistryValueImage{true, v->type, v->data} : RegistryValueImage{};
  };
  // An INI variable as present or not, with its text.
  const auto variable = [&](Station& s, const std::string& name) {
    const Strings keys = s.setup.IniKeys("Net");
    const bool present = std::find(keys.begin(), keys.end(), name) != keys.end();
    return present ? s.setup.Ini("Net", name) : std::string("<missing>");
  };
  const RegistryValueImage missing;

  ForEveryStoppingPoint(seed, [&](Station& s, bool completed) {
    ExpectRenamedOrUntouched(value(s, "Str"), value(s, "StrNew"),
                             {true, regtype::kString, {'s', 't', 'r', '-', 'd', 'a', 't', 'a', 0}},
                             {true, regtype::kString,
                              {'s', 't', 'r', '-', 't', 'a', 'r', 'g', 'e', 't', 0}},
                             completed, "Str");
    ExpectRenamedOrUntouched(value(s, "Dw"), value(s, "DwNew"),
                             {true, regtype::kDword, {0x11, 0x22, 0x33, 0x44}}, missing, completed,
                             "Dw");
    ExpectRenamedOrUntouched(value(s, "Bin"), value(s, "BinNew"),
                             {true, regtype::kBinary, Bytes(20000, 7)},
                             {true, regtype::kBinary, {9, 9}}, completed, "Bin");
    ExpectRenamedOrUntouched(variable(s, "Server"), variable(s, "Existing"),
                             std::string("srv-data"), std::string("ini-target"), completed,
                             "Server");
    ExpectRenamedOrUntouched(variable(s, "Ctx"), variable(s, "Context"), std::string("ctx-data"),
                             std::string("<missing>"), completed, "Ctx");
  });
}

TEST(SaveKillTest, NoStoppingPointLosesARenamedKeyOrTheKeyItReplaces) {
  for (int platform : {platformid::kWindows9x, platformid::kWindowsNt}) {
    SCOPED_TRACE(platform);
    const auto seed = [&](Station& s) {
      s.setup.system.platformId = platform;
      s.setup.SetString(kHklm, "\\Soft\\Old", "W", "top");
      s.setup.SetString(kHklm, "\\Soft\\Old\\Child\\Deeper", "V", "moved");
      s.setup.SetString(kHklm, "\\Soft\\New\\Stale", "V", "stale");
      s.setup.Add(kHklm, kRenameHive, "\\Soft\\Old", "\\Soft\\New", "");
    };
    ForEveryStoppingPoint(seed, [&](Station& s, bool completed) {
      EXPECT_TRUE(s.HasTextBelow("\\Soft", "top"));
      EXPECT_TRUE(s.HasTextBelow("\\Soft", "moved"));
      const bool moved = s.setup.String(kHklm, "\\Soft\\New", "W") == "top" &&
                         s.setup.String(kHklm, "\\Soft\\New\\Child\\Deeper", "V") == "moved";
      if (!moved) {
        EXPECT_TRUE(s.HasTextBelow("\\Soft", "stale")) << "replaced before the move";
      }
      if (completed) {
        EXPECT_TRUE(moved);
        EXPECT_EQ(s.KeyNames("\\Soft"), Strings{"New"});
        EXPECT_EQ(s.KeyNames("\\Soft\\New"), Strings{"Child"});
      }
    });
  }
}

TEST(SaveKillTest, NoStoppingPointLosesAKeyWhoseNameOnlyChangesCase) {
  for (int platform : {platformid::kWindows9x, platformid::kWindowsNt}) {
    SCOPED_TRACE(platform);
    const auto seed = [&](Station& s) {
      s.setup.system.platformId = platform;
      s.setup.SetString(kHklm, "\\Soft\\Caf\xE9", "", "default");
      s.setup.SetString(kHklm, "\\Soft\\Caf\xE9\\Sub", "V", "inner");
      s.setup.Add(kHklm, kRenameHive, "\\Soft\\Caf\xE9", "\\Soft\\CAF\xC9", "");
    };
    ForEveryStoppingPoint(seed, [&](Station& s, bool completed) {
      EXPECT_TRUE(s.HasTextBelow("\\Soft", "default"));
      EXPECT_TRUE(s.HasTextBelow("\\Soft", "inner"));
      if (completed) {
        EXPECT_EQ(s.KeyNames("\\Soft"), Strings{"CAF\xC9"});
        EXPECT_EQ(s.setup.String(kHklm, "\\Soft\\CAF\xC9\\Sub", "V"), "inner");
      }
    });
  }
}

}  // namespace
}  // namespace zeb
