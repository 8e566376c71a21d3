#include "app/shortcut_areas.h"

#include <algorithm>

#include "platform/text.h"

namespace zeb {
namespace {

struct AreaKind {
  SearchArea box;
  const char* valueName;  // in the user's "Shell Folders"
  const char* text;
  const char* commonValueName;  // in the machine's "Shell Folders"
};

constexpr AreaKind kAreaKinds[] = {
    {SearchArea::kDesktop, "Desktop", "DESKTOP", "Common Desktop"},
    {SearchArea::kStartMenu, "Start Menu", "START MENU", "Common Start Menu"},
};

std::string WithoutTrailingSlashes(std::string folder) {
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return folder;
}

void AddOnce(std::vector<ShortcutArea>* areas, SearchArea box, std::string text,
             const std::string& folder) {
  if (folder.empty()) return;
  const std::string key = WithoutTrailingSlashes(folder);
  const bool listed = std::any_of(areas->begin(), areas->end(), [&](const ShortcutArea& area) {
    return EqualsIgnoreCase(WithoutTrailingSlashes(area.folder), key);
  });
  if (!listed) areas->push_back({box, std::move(text), folder});
}

}  // namespace

std::vector<ShortcutArea> CurrentUserAreas(const std::string& desktop,
                                           const std::string& startMenu) {
  return {{SearchArea::kDesktop, kAreaKinds[0].text, desktop},
          {SearchArea::kStartMenu, kAreaKinds[1].text, startMenu}};
}

std::vector<ShortcutArea> AllUserAreas(std::vector<ShortcutArea> areas, RegistryApi& registry,
                                       SystemApi& system,
                                       const std::vector<UserProfile>& profiles) {
  for (const UserProfile& profile : profiles) {
    if (!IsHiveLoaded(registry, profile.sid)) continue;
    for (const AreaKind& kind : kAreaKinds)
      AddOnce(&areas, kind.box, std::string(kind.text) + " OF " + profile.UserName(),
              ProfileShellFolder(registry, system, profile, kind.valueName));
  }
  for (const AreaKind& kind : kAreaKinds)
    AddOnce(&areas, kind.box, std::string("COMMON ") + kind.text,
            CommonShellFolder(registry, system, kind.commonValueName));
  return areas;
}

}  // namespace zeb
