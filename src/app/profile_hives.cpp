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
  return "Profile " + profile.sid + " left out: its hive " + profile.HiveFile() +
         " cannot be loaded (" + Reason(error) + ")";
}

std::string HiveStaysLoadedText(const UserProfile& profile, long error) {
  return "The hive of profile " + profile.sid + " stays loaded under HKEY_USERS: it cannot be "
         "unloaded (error " + std::to_string(error) + ")";
}

void ProfileHives::Load(HiveApi& hives, RegistryApi& registry,
                        const std::vector<UserProfile>& profiles, ChangeReport* report) {
  report_ = report;
  // Without the privileges every load fails, and says so for its own profile.
  (void)hives.EnablePrivileges();
  for (const UserProfile& profile : profiles) {
    if (IsHiveLoaded(registry, profile.sid)) continue;
    long error = winerr::kFileNotFound;
    LoadedHive hive;
    if (!profile.folder.empty())
      hive = LoadedHive::Load(hives, hkey::kUsers, profile.sid, profile.HiveFile(), &error);
    if (hive)
      held_.push_back({profile, std::move(hive)});
    else if (report)
      report->AddMessage(ProfileLeftOutText(profile, error));
  }
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

std::vector<UserProfile> ProfileHives::Profiles() const {
  std::vector<UserProfile> profiles;
  for (const Held& held : held_) profiles.push_back(held.profile);
  return profiles;
}

}  // namespace zeb
