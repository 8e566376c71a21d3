#include "scan/alias_tests.h"

#include <algorithm>

#include "platform/text.h"
#include "scan/dotted_parts.h"

namespace zeb {

namespace {

constexpr std::string_view kServicePrefix = "Dalvexa Services;;";  // compared with case
constexpr std::string_view kPrinterMarker = ",WINSPOOL,";
constexpr std::string_view kDirectoryPrefix = "VRX:";
constexpr std::size_t kPaddedTreeLength = 32;

// At most 255 characters from a 0-based position: the fixed string buffers cut there.
std::string RestFrom(std::string_view text, std::size_t from) {
  return from >= text.size() ? std::string() : Cut(text.substr(from), kNameLimit);
}

// A target's tree path: the full name without "VRX:".
std::string WithoutDirectoryPrefix(const std::string& fullName) {
  return RestFrom(fullName, kDirectoryPrefix.size());
}

bool IsNameValue(std::string_view name) {
  return name == "UserName" || name == "Context" || name == "DirectoryContext";
}

// In an escaped key name ".." stands for one dot.
std::string UnescapeDots(std::string text) {
  for (std::size_t at = text.find(".."); at != std::string::npos; at = text.find("..", at))
    text.erase(at, 1);
  return text;
}

std::string EscapeDots(const std::string& text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char c : text) {
    out += c;
    if (c == '.') out += '.';
  }
  return out;
}

std::string PaddedTreeName(const std::string& tree) {
  std::string padded = UpperAscii(tree);
  if (padded.size() < kPaddedTreeLength) padded.append(kPaddedTreeLength - padded.size(), '_');
  return padded;
}

}  // namespace

RegistryAliasTests::RegistryAliasTests(ScanContext& context)
    : context_(context),
      tree_(context.names.TreeName()),
      treePathPrefix_("\\\\" + tree_),
      paddedTree_(PaddedTreeName(tree_)),
      printerConnectionMarker_(",," + tree_ + ","),
      escapedPrinterMarker_("././" + tree_ + "./.."),
      objectKeySuffix_("." + tree_) {}

bool RegistryAliasTests::Resolve(const std::string& fullName, std::string* target) {
  return context_.names.ResolveAlias(fullName, target);
}

void RegistryAliasTests::Propose(RegKey rootKey, std::uint8_t subType, const std::string& keyPath,
                                 std::string_view oldText, const std::string& newText) {
  context_.changes.AddChange(static_cast<std::uint32_t>(rootKey), subType, keyPath,
                             std::string(oldText), newText);
}

bool RegistryAliasTests::IsTreeNamedKey(const std::string& keyPath) const {
  return EqualsIgnoreCase(ParentFolderName(keyPath), tree_);
}

void RegistryAliasTests::ValueNameTest(RegKey rootKey, const std::string& keyPath,
                                       std::string_view name) {
  if (!StartsWithIgnoreCase(name, treePathPrefix_)) return;
  std::string target;
  const NameSplit dotted = context_.names.SplitAtTree(name);
  if (Resolve(UncToFullName(dotted.objectPart), &target)) {
    Propose(rootKey, kChangeVariableName, keyPath, name,
            treePathPrefix_ + "\\" + FullNameToDotted(target) + dotted.rest);
    return;
  }
  NameSplit path;
  if (context_.names.ResolveObjectPrefix(std::string(name), kDirectoryPrefix, &path, &target))
    Propose(rootKey, kChangeVariableName, keyPath, name,
            treePathPrefix_ + "\\" + StripTreePrefix(target) + path.rest);
}

void RegistryAliasTests::ValueDataTests(RegKey rootKey, const std::string& keyPath,
                                        std::string_view name, std::string_view data) {
  std::string target;

  // A value named after the tree holds a name of that tree, dotted or as a path.
  if (EqualsIgnoreCase(name, tree_) || EqualsIgnoreCase(name, paddedTree_)) {
    const int form = ClassifyName(data);
    if (form & nameform::kDotted) {
      const NameSplit split = context_.names.SplitAtTree(data);
      if (Resolve(context_.names.FullNameOf(split.objectPart), &target))
        Propose(rootKey, kChangeVariableContents, keyPath, name,
                FullNameToDotted(target) + split.rest);
    }
    if (form & nameform::kPath) {
      NameSplit split;
      if (context_.names.ResolveObjectPrefix(std::string(data), kDirectoryPrefix, &split, &target))
        Propose(rootKey, kChangeVariableContents, keyPath, name,
                treePathPrefix_ + "\\" + StripTreePrefix(target) + split.rest);
    }
  }

  if (data.substr(0, kServicePrefix.size()) == kServicePrefix) {
    if (Resolve(std::string(kDirectoryPrefix) + RestFrom(data, kServicePrefix.size()), &target))
      Propose(rootKey, kChangeVariableContents, keyPath, name,
              std::string(kServicePrefix) + WithoutDirectoryPrefix(target));
  }

  // The printer's name comes before the marker; the marker and the port stay as they are.
  // A port past the cut would be lost from the new text.
  const std::size_t marker = FindIgnoreCase(data, kPrinterMarker);
  if (marker != kNotFound && data.size() - marker <= kNameLimit) {
    if (Resolve(std::string(kDirectoryPrefix) + std::string(data.substr(0, marker)), &target))
      Propose(rootKey, kChangeVariableContents, keyPath, name,
              WithoutDirectoryPrefix(target) + RestFrom(data, marker));
  }

  if (IsNameValue(name)) {
    if (Resolve(context_.names.FullNameOf(data), &target))
      Propose(rootKey, kChangeVariableContents, keyPath, name, FullNameToDotted(target));
  } else if (StartsWithIgnoreCase(data, treePathPrefix_)) {
    if (ClassifyName(data) & nameform::kDotted) {
      const NameSplit split = context_.names.SplitAtTree(data);
      if (Resolve(UncToFullName(split.objectPart), &target))
        Propose(rootKey, kChangeVariableContents, keyPath, name,
                treePathPrefix_ + "\\" + FullNameToDotted(target) + split.rest);
    } else {
      NameSplit split;
      if (context_.names.ResolveObjectPrefix(std::string(kDirectoryPrefix) + std::string(data), {},
                                             &split, &target))
        Propose(rootKey, kChangeVariableContents, keyPath, name,
                WithoutDirectoryPrefix(target) + split.rest);
    }
  }
}

void RegistryAliasTests::PerValueKeyTests(RegKey rootKey, const std::string& keyPath,
                                          std::string_view name, std::string_view data) {
  PrinterConnectionKeyTest(rootKey, keyPath);
  UnderTreeNamedKeyTest(rootKey, keyPath, name, data);
  ObjectNamedKeyTest(rootKey, keyPath);
}

// ",," + T + "," + container + "," + leaf, or ",," + T + "," + a whole dotted name.
void RegistryAliasTests::PrinterConnectionKeyTest(RegKey rootKey, const std::string& keyPath) {
  const std::size_t at = FindIgnoreCase(keyPath, printerConnectionMarker_);
  // The path from the tree name on passes through a fixed buffer: a longer one would be
  // renamed to a shortened path.
  if (at == kNotFound || keyPath.size() - (at + 2) > kNameLimit) return;
  const std::string prefix = keyPath.substr(0, at);
  const std::string fromTree = RestFrom(keyPath, at + 2);
  const std::size_t slash = fromTree.find('\\');
  std::string seg = fromTree.substr(0, slash);
  const std::string below = slash == std::string::npos ? std::string() : fromTree.substr(slash + 1);
  const std::size_t afterTree = seg.find(',');
  if (afterTree != std::string::npos) seg.erase(0, afterTree + 1);

  const std::size_t comma = seg.find(',');
  const std::string dotted =
      comma == std::string::npos ? seg : RestFrom(seg, comma + 1) + "." + seg.substr(0, comma);
  std::string target;
  if (!Resolve(UncToFullName(treePathPrefix_ + "\\" + dotted), &target)) return;

  std::string newPath;
  if (!below.empty()) {
    const auto k = static_cast<std::size_t>(LastCharPos('\\', target));
    const std::string leaf = RestFrom(target, k);
    const std::string container = FullNameToDotted(target.substr(0, k == 0 ? 0 : k - 1));
    newPath = prefix + printerConnectionMarker_ + container + "," + leaf + "\\" + below;
  } else {
    newPath = prefix + printerConnectionMarker_ + FullNameToDotted(target);
  }
  Propose(rootKey, kRenameHive, keyPath, newPath, std::string());
}

void RegistryAliasTests::UnderTreeNamedKeyTest(RegKey rootKey, const std::string& keyPath,
                                               std::string_view name, std::string_view data) {
  if (!IsTreeNamedKey(keyPath)) return;
  std::string target;
  const std::size_t at = FindIgnoreCase(keyPath, tree_);
  if (Resolve(UncToFullName("\\\\" + RestFrom(keyPath, at)), &target))
    Propose(rootKey, kRenameHive, keyPath,
            keyPath.substr(0, at) + tree_ + "\\" + FullNameToDotted(target), std::string());
  if (name == "DN" && Resolve(context_.names.FullNameOf(data), &target))
    Propose(rootKey, kChangeVariableContents, keyPath, name, FullNameToDotted(target));
}

// A key named "<dotted name>.<T>".
void RegistryAliasTests::ObjectNamedKeyTest(RegKey rootKey, const std::string& keyPath) {
  if (!EndsWithIgnoreCase(keyPath, objectKeySuffix_)) return;
  const auto k = static_cast<std::size_t>(LastCharPos('\\', keyPath));
  const std::string dir = keyPath.substr(0, k);
  std::string leaf = RestFrom(keyPath, k);
  const std::size_t at = FindIgnoreCase(leaf, tree_);
  if (at != kNotFound && at > 0) leaf.erase(at - 1, tree_.size() + 1);
  std::string target;
  if (Resolve(context_.names.FullNameOf(leaf), &target))
    Propose(rootKey, kRenameHive, keyPath, dir + FullNameToDotted(target) + objectKeySuffix_,
            std::string());
}

void RegistryAliasTests::KeyNameTests(RegKey rootKey, const std::string& keyPath,
                                      const std::function<std::string()>& readDirectoryContext) {
  EscapedPrinterKeyTest(rootKey, keyPath);
  TreeNamedKeyContextTest(rootKey, keyPath, readDirectoryContext);
}

// "././" + T + "./.." + the printer's dotted name with every dot doubled: "./" is a backslash.
void RegistryAliasTests::EscapedPrinterKeyTest(RegKey rootKey, const std::string& keyPath) {
  const std::size_t at = FindIgnoreCase(keyPath, escapedPrinterMarker_);
  if (at == kNotFound) return;
  const std::size_t headLength = at + escapedPrinterMarker_.size();
  const std::string head = keyPath.substr(0, headLength);
  const std::string tail = UnescapeDots(RestFrom(keyPath, headLength));
  const NameSplit split = context_.names.SplitAtTree(treePathPrefix_ + "\\" + tail);
  std::string target;
  if (!Resolve(UncToFullName(split.objectPart), &target)) return;
  std::string newPath = head + EscapeDots(FullNameToDotted(target));
  newPath.erase(0, std::min(newPath.find_first_not_of('\\'), newPath.size()));
  Propose(rootKey, kRenameHive, keyPath, newPath + split.rest, std::string());
}

// A key under a key named after the tree is named after a user, whose container the key
// may hold in "DirectoryContext".
void RegistryAliasTests::TreeNamedKeyContextTest(
    RegKey rootKey, const std::string& keyPath,
    const std::function<std::string()>& readDirectoryContext) {
  if (!IsTreeNamedKey(keyPath)) return;
  const auto k = static_cast<std::size_t>(LastCharPos('\\', keyPath));
  const std::string dir = keyPath.substr(0, k);
  const std::string leaf = RestFrom(keyPath, k);
  const std::string directoryContext = readDirectoryContext();
  std::string target;
  if (directoryContext.empty()) {
    if (Resolve(UncToFullName(treePathPrefix_ + "\\" + leaf), &target))
      Propose(rootKey, kRenameHive, keyPath, dir + FullNameToDotted(target), std::string());
    return;
  }
  if (!Resolve(UncToFullName(treePathPrefix_ + "\\" + leaf + "." + directoryContext), &target))
    return;
  const LeafAndContext moved = SplitLeaf(FullNameToDotted(target));
  if (!EqualsIgnoreCase(moved.context, directoryContext))
    Propose(rootKey, kChangeVariableContents, keyPath, "DirectoryContext", moved.context);
  if (!EqualsIgnoreCase(moved.leaf, leaf))
    Propose(rootKey, kRenameHive, keyPath, dir + moved.leaf, std::string());
}

}  // namespace zeb
