#include "app/profile_hives.h"

namespace zeb {
namespace {

constexpr long kLockViolation = 33;
constexpr long kBadDatabase = 1009;
constexpr long kBadDatabaseFile = 1010;

std::string Reason(long error) {
  switch (error) {
    case winerr::kFileNotFound:
    case winerr::kPathNotFound: return "the file is missing";
    case winerr::kSharingViolation:
    case kLockViolation: return "the file is in use";
    case winerr::kAccessDenied:
    case winerr::kPrivilegeNotHeld: return "access denied";
    case winerr::kNotRegistryFile:
    case kBadDatabase:
    case kBadDatabaseFile: return "the file is no Registry hive";
    default: return "error " + std::to_string(error);
  }
}

}  // namespace

std::string ProfileLeftOutText(const UserProfile& profile, long error) {
  if (profile.folder.empty())
    return "Profile " + profile.sid + " left out: it names no profile folder";
  return HiveLeftOutText(profile.Hive(), error);
}

std::string HiveLeftOutText(const ProfileHive& hive, long error) {
  return "Profile " + hive.sid + " left out: its hive " + hive.file + " cannot be loaded (" +
         Reason(error) + ")";
}

std::string HiveStaysLoadedText(const ProfileHive& hive, long error) {
  return "The hive of profile " + hive.sid + " stays loaded under HKEY_USERS: it cannot be "
         "unloaded (error " + std::to_string(error) + ")";
}

std::string HiveNotLoadedText(const ProfileHive& hive, long error) {
  return "the hive " + hive.file + " of profile " + hive.sid + " cannot be loaded (" +
         Reason(error) + ")";
}

bool ProfileHives::LoadOne(HiveApi& hives, const ProfileHive& wanted, long* error) {
  LoadedHive hive = LoadedHive::Load(hives, hkey::kUsers, wanted.sid, wanted.file, error);
  if (!hive) return false;
  held_.push_back({wanted, std::move(hive)});
  return true;
}

void ProfileHives::Load(HiveApi& hives, RegistryApi& registry,
                        const std::vector<UserProfile>& profiles, ChangeReport* report) {
  report_ = report;
  // Without the privileges every load fails, and says so for its own profile.
  (void)hives.EnablePrivileges();
  for (const UserProfile& profile : profiles) {
    if (IsHiveLoaded(registry, profile.sid)) continue;
    long error = winerr::kFileNotFound;
    const bool loaded = !profile.folder.empty() && LoadOne(hives, profile.Hive(), &error);
    if (!loaded && report) report->AddMessage(ProfileLeftOutText(profile, error));
  }
}

std::vector<HiveLeftOut> ProfileHives::LoadHives(HiveApi& hives, RegistryApi& registry,
                                                 const std::vector<ProfileHive>& wanted,
                                                 ChangeReport* report) {
  report_ = report;
  std::vector<HiveLeftOut> leftOut;
  if (wanted.empty()) return leftOut;
  (void)hives.EnablePrivileges();
  for (const ProfileHive& hive : wanted) {
    if (IsHiveLoaded(registry, hive.sid)) continue;
    long error = winerr::kFileNotFound;
    if (LoadOne(hives, hive, &error)) continue;
    leftOut.push_back({hive, error});
    if (report) report->AddMessage(HiveLeftOutText(hive, error));
  }
  return leftOut;
}

void ProfileHives::UnloadAll() {
  while (!held_.empty()) {
    Held held = std::move(held_.back());
    held_.pop_back();
    const long error = held.hive.Unload();
    if (error != winerr::kSuccess && report_)
      report_->AddMessage(HiveStaysLoadedText(held.profile, error));
  }
}

std::vector<ProfileHive> ProfileHives::Hives() const {
  std::vector<ProfileHive> hives;
  for (const Held& held : held_) hives.push_back(held.profile);
  return hives;
}

}  // namespace zeb
