#include "scan/client_keys.h"

#include <functional>
#include <string_view>

#include "platform/registry.h"
#include "platform/text.h"
#include "scan/dotted_parts.h"
#include "scan/registry_text.h"

namespace zeb {

const char* const kClientKeys[6] = {
    "\\Network\\Varnok\\System Config\\Dalvexa Redirector\\Name Context",
    "\\Network\\Varnok\\System Config\\Dalvexa Redirector\\Preferred Tree\\Trees",
    "\\SOFTWARE\\Varnok\\Station Keeper\\Identification",
    "\\SOFTWARE\\Varnok\\Station Keeper\\Client Config",
    "\\SOFTWARE\\Varnok\\Login\\History\\Contexts",
    "\\SOFTWARE\\Varnok\\Place Presets\\Services\\{5A0B7C3E-2D41-4F8A-9C6B-7E1D2F3A4B5C}"
    "\\Default\\Tab1",
};

namespace {

const char* const kNameContextKey = kClientKeys[0];
const char* const kLoginScreenKey = "\\SOFTWARE\\Varnok\\DXGINA\\Login Screen";
const char* const kDefaultTree = "DefaultVRXTree";
const char* const kDefaultUser = "DefaultDalvexaUserName";
const char* const kDefaultContext = "DefaultVRXContext";

// The name buffers hold 255 characters, the dot included.
std::string WithLeadingDot(std::string_view text) {
  return Cut("." + std::string(text), kNameLimit);
}

// Every text value of the open key in enumeration order, name and data from one call each;
// values of other types are skipped.
void ForEachTextValue(Registry& registry,
                      const std::function<void(const std::string&, std::string_view)>& visit) {
  ForEachValue(registry.api(), registry.CurrentKey(), true, [&](const RegValue& value) {
    if (IsTextType(value.type)) visit(value.name, TextOf(value.data));
  });
}

void ScanNtLoginScreen(ScanContext& context) {
  Registry registry(context.workstation.registry, hkey::kLocalMachine);
  if (!registry.OpenKey(kLoginScreenKey, false)) return;
  // A login default stored as another type than text cannot name anything: stop quietly.
  std::string tree, user, nameContext;
  try {
    tree = registry.ReadString(kDefaultTree);
    if (!EqualsIgnoreCase(tree, context.names.TreeName())) return;
    user = registry.ReadString(kDefaultUser);
    nameContext = registry.ReadString(kDefaultContext);
  } catch (const RegistryError&) {
    return;
  }
  const std::string treePath =
      "\\\\" + context.names.TreeName() + "\\" + user + "." + nameContext;
  std::string target;
  if (!context.names.ResolveAlias(UncToFullName(treePath), &target)) return;
  const LeafAndContext moved = SplitLeaf(FullNameToDotted(target));
  const std::string& newUser = moved.leaf;
  const std::string& newContext = moved.context;
  const auto kind = static_cast<std::uint32_t>(hkey::kLocalMachine);
  if (!EqualsIgnoreCase(user, newUser))
    context.changes.AddChange(kind, kChangeVariableContents, kLoginScreenKey, kDefaultUser, newUser);
  if (!EqualsIgnoreCase(nameContext, newContext))
    context.changes.AddChange(kind, kChangeVariableContents, kLoginScreenKey, kDefaultContext,
                              newContext);
}

// Windows 95 and 98 keep the user's name contexts in the redirector's key: each value is
// taken as the container of the tree user.
void ScanNameContexts(ScanContext& context) {
  Registry registry(context.workstation.registry, hkey::kLocalMachine);
  if (!registry.OpenKey(kNameContextKey, false)) return;
  ForEachTextValue(registry, [&](const std::string& name, std::string_view text) {
    if (text.empty()) return;
    const bool hadLeadingDot = text.front() == '.';
    const std::string nameContext = hadLeadingDot ? std::string(text) : WithLeadingDot(text);
    const std::string user = WithLeadingDot(context.treeUserName + nameContext);
    std::string target;
    if (!context.names.ResolveAlias(context.names.FullNameOf(user), &target)) return;
    const std::string dotted = FullNameToDotted(target);
    const std::size_t dot = dotted.find('.');
    std::string newContext = dot == std::string::npos ? dotted : dotted.substr(dot + 1);
    if (hadLeadingDot) newContext = WithLeadingDot(newContext);
    context.changes.AddChange(static_cast<std::uint32_t>(hkey::kLocalMachine),
                              kChangeVariableContents, kNameContextKey, name, newContext);
  });
}

}  // namespace

void ScanClientKey(ScanContext& context, RegKey rootKey, const std::string& keyPath) {
  context.view.ProcessMessages();
  Registry registry(context.workstation.registry, rootKey);
  const bool opened = registry.OpenKey(keyPath, false);
  if (context.flags.autoRun && !context.flags.promptUser)
    context.view.SetStatus(StatusLine::kMain1, keyPath);
  if (!opened) return;
  ForEachTextValue(registry, [&](const std::string& name, std::string_view text) {
    if (text.size() < 2) return;
    const bool hadLeadingDot = text.front() == '.';
    const std::string dotted = hadLeadingDot ? std::string(text) : WithLeadingDot(text);
    std::string target;
    if (!context.names.ResolveAlias(context.names.FullNameOf(dotted), &target)) return;
    std::string newData = FullNameToDotted(target);
    if (hadLeadingDot) newData = WithLeadingDot(newData);
    context.changes.AddChange(static_cast<std::uint32_t>(rootKey), kChangeVariableContents,
                              keyPath, name, newData);
  });
}

void ScanLoginDefaults(ScanContext& context) {
  context.view.ProcessMessages();
  if (context.IsWindowsNt())
    ScanNtLoginScreen(context);
  else
    ScanNameContexts(context);
}

}  // namespace zeb
