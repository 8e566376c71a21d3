#include "support/save_setup.h"

#include <gtest/gtest.h>

#include "platform/ini.h"
#include "platform/registry.h"

namespace zeb::testing {

SaveSetup::SaveSetup(RegistryApi& registry, ProfileApi& profiles, FileFinder& files,
                     ShellLinkFactory& shellLinks, SystemApi& system, FileBytesApi& fileBytes)
    : system(system), workstation{registry, profiles, files, shellLinks, this->system, fileBytes} {
  flags.promptUser = false;
  flags.shortcutsTicked = true;
}

SaveResult SaveSetup::Save() {
  SaveInputs inputs{workstation, changes, view, view, view, flags,
                    [this] { ++saveButtonDisabled; }, report};
  return SaveChanges(inputs);
}

void SaveSetup::Add(std::uint32_t kind, std::uint8_t subType, const std::string& location,
                    const std::string& oldText, const std::string& newText) {
  ASSERT_TRUE(changes.AddChange(kind, subType, location, oldText, newText));
}

std::vector<LineStatus> SaveSetup::Statuses(const SaveResult& result) {
  std::vector<LineStatus> statuses;
  for (const LineOutcome& outcome : result.outcomes) statuses.push_back(outcome.status);
  return statuses;
}

void SaveSetup::SetString(RegKey root, const std::string& path, const std::string& name,
                          const std::string& value) {
  Registry registry(workstation.registry, root);
  ASSERT_TRUE(registry.OpenKey(path, true)) << path;
  registry.WriteString(name, value);
}

void SaveSetup::SetRaw(RegKey root, const std::string& path, const std::string& name,
                       std::uint32_t type, const std::vector<std::uint8_t>& data) {
  Registry registry(workstation.registry, root);
  ASSERT_TRUE(registry.OpenKey(path, true)) << path;
  ASSERT_EQ(workstation.registry.SetValue(registry.CurrentKey(), name, type, data),
            winerr::kSuccess);
}

std::optional<RegValue> SaveSetup::Value(RegKey root, const std::string& path,
                                         const std::string& name) {
  Registry registry(workstation.registry, root);
  if (!registry.OpenKey(path, false)) return std::nullopt;
  RegValue value;
  value.name = name;
  if (workstation.registry.QueryValue(registry.CurrentKey(), name, &value.type, &value.data) !=
      winerr::kSuccess)
    return std::nullopt;
  return value;
}

std::string SaveSetup::String(RegKey root, const std::string& path, const std::string& name) {
  const auto value = Value(root, path, name);
  if (!value) return "<missing>";
  if (value->type != regtype::kString) return "<type " + std::to_string(value->type) + ">";
  const std::string text(value->data.begin(), value->data.end());
  return text.substr(0, text.find('\0'));
}

bool SaveSetup::KeyExists(RegKey root, const std::string& path) {
  return Registry(workstation.registry, root).KeyExists(path);
}

std::vector<std::string> SaveSetup::ValueNames(RegKey root, const std::string& path) {
  Registry registry(workstation.registry, root);
  if (!registry.OpenKey(path, false)) return {};
  return registry.GetValueNames();
}

void SaveSetup::SetIni(const std::string& section, const std::string& key,
                       const std::string& value) {
  IniFiles(workstation.profiles).WriteString(iniFile, section, key, value);
}

std::string SaveSetup::Ini(const std::string& section, const std::string& key) {
  return IniFiles(workstation.profiles).ReadString(iniFile, section, key);
}

std::vector<std::string> SaveSetup::IniKeys(const std::string& section) {
  return IniFiles(workstation.profiles).ReadKeys(iniFile, section);
}

void SaveSetup::MakeShortcut(const std::string& file, const ShortcutFields& fields) {
  const auto link = workstation.shellLinks.Create();
  ASSERT_TRUE(link);
  link->SetPath(fields.path);
  link->SetWorkingDirectory(fields.directory);
  link->SetArguments(fields.arguments);
  ASSERT_TRUE(link->Save(file)) << file;
}

ShortcutFields SaveSetup::Shortcut(const std::string& file) {
  const auto link = workstation.shellLinks.Create();
  ShortcutFields fields;
  if (!link || !link->Load(file)) return {"<unloadable>", "", ""};
  link->GetPath(&fields.path);
  link->GetWorkingDirectory(&fields.directory);
  link->GetArguments(&fields.arguments);
  return fields;
}

std::vector<std::string> SaveSetup::StatusesOf(StatusLine line) const {
  std::vector<std::string> texts;
  for (const auto& [which, text] : view.statusHistory)
    if (which == line) texts.push_back(text);
  return texts;
}

}  // namespace zeb::testing
