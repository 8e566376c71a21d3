#include "scan/registry_search.h"

#include <optional>
#include <vector>

#include "platform/registry.h"
#include "platform/text.h"
#include "scan/alias_tests.h"
#include "scan/message_taker.h"
#include "scan/registry_text.h"
#include "scan/repaint_throttle.h"

namespace zeb {

namespace {

const char* const kDirectoryContextValue = "DirectoryContext";

// One walk of a tree. Every key costs one open, one info query, one enumeration call per
// value (name, type and data together) and per subkey, and one close: the walk of a whole
// Registry under Wine is bound by these round trips, so nothing is asked twice.
class RegistryWalk {
 public:
  RegistryWalk(ScanContext& context, RegKey rootKey)
      : context_(context),
        api_(context.workstation.registry),
        rootKey_(rootKey),
        kind_(static_cast<std::uint32_t>(rootKey)),
        messages_(context.view, context.now),
        paintedChanges_(context.changes.size()) {
    if (!context_.SearchAndReplace()) aliasTests_.emplace(context_);
  }

  void Run(const std::string& keyPath) {
    // The layer's rule: a path beginning with "\" counts from the root key.
    const std::string subKey = keyPath.empty() || keyPath[0] != '\\' ? keyPath : keyPath.substr(1);
    RegKey opened = 0;
    KeyHandle key;
    if (api_.OpenKey(rootKey_, subKey, KeyAccess::kAll, &opened) == winerr::kSuccess)
      key = KeyHandle(api_, opened);
    std::string path = keyPath;
    Visit(key, path);
    FlushProgress();
  }

 private:
  void Visit(const KeyHandle& key, std::string& path) {
    ShowProgress(path);

    KeyInfo info;
    if (key && api_.QueryInfoKey(key.get(), &info) != winerr::kSuccess) info = KeyInfo();
    if (key) SearchValues(key.get(), info.values, path);
    ShowNewLines();
    TestKeyPath(key, path);

    if (!key || SkipsSubKeys(path)) return;
    // Enumerations stop at the first error: some keys answer every index with one.
    std::vector<std::string> subKeys;
    subKeys.reserve(info.subKeys);
    std::string enumerated;
    for (std::uint32_t i = 0; i < info.subKeys; ++i) {
      if (api_.EnumKey(key.get(), i, &enumerated) != winerr::kSuccess) break;
      subKeys.push_back(enumerated);
    }

    const std::size_t parentLength = path.size();
    for (const std::string& name : subKeys) {
      RegKey opened = 0;
      KeyHandle subKey;
      // A name the code page cannot hold comes back as "?" and does not open: its path is
      // still tested, like that of any key that cannot be opened.
      if (api_.OpenKey(key.get(), name, KeyAccess::kAll, &opened) == winerr::kSuccess)
        subKey = KeyHandle(api_, opened);
      path.append(1, '\\').append(name);
      Visit(subKey, path);
      path.resize(parentLength);
    }
  }

  void SearchValues(RegKey key, std::uint32_t count, const std::string& path) {
    for (std::uint32_t i = 0; i < count; ++i) {
      if (api_.EnumValue(key, i, true, &value_) != winerr::kSuccess) break;
      if (aliasTests_)
        aliasTests_->ValueNameTest(rootKey_, path, value_.name);
      else
        ProposeReplacement(kChangeVariableName, path, value_.name, value_.name);
      if (!IsTextType(value_.type)) continue;
      const std::string_view data = TextOf(value_.data);
      if (aliasTests_) {
        aliasTests_->ValueDataTests(rootKey_, path, value_.name, data);
        aliasTests_->PerValueKeyTests(rootKey_, path, value_.name, data);
      } else if (IsWholeText(value_.data)) {
        ProposeReplacement(kChangeVariableContents, path, value_.name, data);
      }
    }
  }

  void TestKeyPath(const KeyHandle& key, const std::string& path) {
    if (!aliasTests_) {
      std::string newPath;
      if (ReplaceFirstIgnoreCase(path, context_.search, context_.replace, &newPath))
        context_.changes.AddChange(kind_, kRenameHive, path, newPath, std::string());
      return;
    }
    aliasTests_->KeyNameTests(rootKey_, path, [&]() { return DirectoryContext(key); });
  }

  // A "DirectoryContext" stored as another type than text counts as missing.
  std::string DirectoryContext(const KeyHandle& key) {
    if (!key) return std::string();
    std::uint32_t type = regtype::kNone;
    std::vector<std::uint8_t> data;
    if (api_.QueryValue(key.get(), kDirectoryContextValue, &type, &data) != winerr::kSuccess ||
        !IsTextType(type))
      return std::string();
    return std::string(TextOf(data));
  }

  // In "Search and Replace": the first occurrence of the search text in a value's name gives
  // a new name, in its data new data.
  void ProposeReplacement(std::uint8_t subType, const std::string& path,
                          const std::string& valueName, std::string_view text) {
    std::string replaced;
    if (ReplaceFirstIgnoreCase(text, context_.search, context_.replace, &replaced))
      context_.changes.AddChange(kind_, subType, path, valueName, replaced);
  }

  // Below HKEY_LOCAL_MACHINE's class registrations and device tree only the two keys
  // themselves are searched, unless /CLASSES asks for all.
  bool SkipsSubKeys(const std::string& path) const {
    return !context_.flags.searchClasses && rootKey_ == hkey::kLocalMachine &&
           (EqualsIgnoreCase(path, "\\SOFTWARE\\CLASSES") || EqualsIgnoreCase(path, "\\ENUM"));
  }

  // Messages go through at the first key and then every 100 ms or so: looking at the queue
  // for every key costs a shown window more than the key's walk. The status line is painted
  // only as often as it can be read, and the last key is painted when the walk ends.
  void ShowProgress(const std::string& path) {
    messages_.Take();
    paintDue_ = throttle_.Due();
    if (context_.flags.stealthMode) return;
    if (paintDue_) {
      context_.view.SetStatus(StatusLine::kMain1, path);
      unpaintedPath_.reset();
    } else {
      unpaintedPath_ = path;
    }
  }

  void ShowNewLines() {
    if (paintDue_ && context_.changes.size() != paintedChanges_) RepaintList();
  }

  void FlushProgress() {
    if (unpaintedPath_) context_.view.SetStatus(StatusLine::kMain1, *unpaintedPath_);
    if (context_.changes.size() != paintedChanges_) RepaintList();
  }

  void RepaintList() {
    context_.view.RepaintList();
    paintedChanges_ = context_.changes.size();
  }

  ScanContext& context_;
  RegistryApi& api_;
  const RegKey rootKey_;
  const std::uint32_t kind_;
  std::optional<RegistryAliasTests> aliasTests_;  // only in "Dereference Aliases"
  RegValue value_;                                 // one buffer for every value of the walk
  MessageTaker messages_;
  RepaintThrottle throttle_;
  bool paintDue_ = false;
  std::optional<std::string> unpaintedPath_;
  std::size_t paintedChanges_;
};

}  // namespace

void SearchRegistryTree(ScanContext& context, RegKey rootKey, const std::string& keyPath) {
  RegistryWalk(context, rootKey).Run(keyPath);
}

}  // namespace zeb
