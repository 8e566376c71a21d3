#include "directory/names.h"

#include <optional>
#include <vector>

#include "directory/name_components.h"
#include "platform/text.h"

namespace zeb {

namespace {

constexpr std::string_view kFullNamePrefix = "VRX:\\\\";  // VRX, a colon, two backslashes
constexpr std::size_t kClientBuffer = 512;                 // the client's name buffers

bool HasFullNamePrefix(std::string_view name) {
  return StartsWithIgnoreCase(name, kFullNamePrefix);
}

// The text from 0-based `start` on, at most `limit` characters; empty past the end.
std::string_view TailFrom(std::string_view text, std::size_t start,
                          std::size_t limit = kNameLimit) {
  if (start >= text.size()) return {};
  return text.substr(start, limit);
}

std::string_view WithoutLeadingDots(std::string_view text) {
  const std::size_t first = text.find_first_not_of('.');
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

}  // namespace

int LastCharPos(char c, std::string_view text) {
  const std::size_t p = text.rfind(c);
  return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

std::string StripTreePrefix(std::string_view name) {
  if (!HasFullNamePrefix(name)) return std::string(name);
  std::string_view rest = name.substr(kFullNamePrefix.size());
  const std::size_t slash = rest.find('\\');
  if (slash != std::string_view::npos) rest = rest.substr(slash + 1);
  return std::string(rest);
}

std::string StripNameType(std::string_view component) {
  const std::size_t equals = component.find('=');
  if (equals == std::string_view::npos) return std::string(component);
  return std::string(TailFrom(component, equals + 1));
}

std::string FullNameToDotted(std::string_view name) {
  const std::string rest = StripTreePrefix(name);
  const std::vector<std::string_view> components = SplitAt(rest, '\\');
  std::string dotted;
  for (auto it = components.rbegin(); it != components.rend() && dotted.size() < kNameLimit;
       ++it) {
    dotted.append(".").append(*it);
  }
  // The buffer keeps the leaf end; whatever spills over at the root end is lost.
  return std::string(WithoutLeadingDots(Cut(dotted, kNameLimit)));
}

std::string DottedToPath(std::string_view dotted) {
  if (dotted.empty()) return {};
  std::string text = dotted.front() == '.' ? std::string(dotted)
                                           : "." + Cut(dotted, kNameLimit - 1);
  std::string path;
  // From the root end: every dot ends the text and leaves one component behind it.
  for (std::size_t dot = text.rfind('.'); dot != std::string::npos; dot = text.rfind('.')) {
    path.append("\\").append(StripNameType(TailFrom(text, dot + 1)));
    text.erase(dot);
  }
  return path;
}

int ClassifyName(std::string_view text) {
  std::string_view rest = text;
  if (rest.find("\\\\") != std::string_view::npos) {
    // A tree or server name behind the leading "\\" says nothing about the form.
    rest = TailFrom(rest, 2, std::string_view::npos);
    const std::size_t slash = rest.find('\\');
    if (slash != std::string_view::npos) rest = rest.substr(slash + 1);
  }
  int form = 0;
  if (rest.find('.') != std::string_view::npos) {
    form |= nameform::kDotted;
  } else if (rest.find('\\') != std::string_view::npos) {
    form |= nameform::kPath;
  } else {
    form |= nameform::kPath | nameform::kDotted;
  }
  form |= rest.find('=') != std::string_view::npos ? nameform::kTypeful : nameform::kTypeless;
  return form;
}

std::string UncToFullName(std::string_view text) {
  if (text.substr(0, 2) != "\\\\") return {};
  const std::string_view afterSlashes = TailFrom(text, 2);
  const std::size_t slash = afterSlashes.find('\\');
  std::string_view tree;
  std::string_view dotted = afterSlashes;
  if (slash != std::string_view::npos) {
    tree = afterSlashes.substr(0, slash);
    dotted = TailFrom(afterSlashes, slash + 1);
  }
  std::string fullName = std::string(kFullNamePrefix).append(tree).append(DottedToPath(dotted));
  while (!fullName.empty() && fullName.back() == '\\') fullName.pop_back();
  return fullName;
}

std::string FullNameToUnc(std::string_view name) {
  std::string_view rest = HasFullNamePrefix(name) ? name.substr(kFullNamePrefix.size()) : name;
  std::string_view tree;
  const std::size_t slash = rest.find('\\');
  if (slash != std::string_view::npos) {
    tree = rest.substr(0, slash);
    rest = rest.substr(slash + 1);
  }
  return std::string("\\\\").append(tree).append("\\.").append(FullNameToDotted(rest));
}

std::string ParentFolderName(std::string_view path) {
  const int p = LastCharPos('\\', path);
  if (p == 0) return {};
  const std::string_view folder = path.substr(0, static_cast<std::size_t>(p) - 1);
  const int q = LastCharPos('\\', folder);
  // A folder that is the first component is whole: only a remainder after a separator is cut.
  if (q == 0) return std::string(folder);
  return std::string(TailFrom(folder, static_cast<std::size_t>(q)));
}

// An empty tree name is taken as absent: there is no tree to split at.
NameSplit SplitAtTree(std::string_view path, std::string_view treeName) {
  NameSplit split{std::string(path), {}};
  const std::size_t at = treeName.empty() ? kNotFound : FindIgnoreCase(path, treeName);
  if (at == kNotFound) return split;
  // Skip the tree name and the one separator after it.
  const std::string_view tail = TailFrom(path, at + treeName.size() + 1);
  std::size_t restStart = tail.find('\\');
  if (restStart == std::string_view::npos) restStart = tail.find("./");
  if (restStart == std::string_view::npos) return split;
  split.rest = std::string(tail.substr(restStart));
  split.objectPart = std::string(path.substr(0, path.size() - split.rest.size()));
  return split;
}

DirectoryNames::DirectoryNames(DirectoryClient& client, DirContextHandle context,
                               std::string treeName, MessageBoxes& messages, int lookups)
    : client_(client), context_(context), treeName_(std::move(treeName)), messages_(messages) {
  if (lookups & lookups::kMemo) memo_ = std::make_unique<NameMemo>();
  if (lookups & lookups::kIndex) index_ = std::make_unique<AliasIndex>(client_);
}

std::string DirectoryNames::FullNameOf(std::string_view dotted) const {
  return std::string(kFullNamePrefix).append(treeName_).append(DottedToPath(dotted));
}

bool DirectoryNames::FindEntry(const std::string& fullName) {
  if (!memo_) return client_.FindEntry(fullName);
  if (const std::optional<bool> known = memo_->Entry(fullName)) return *known;
  // A client that raises is not remembered: the caller treats it as a failure each time.
  const bool exists = client_.FindEntry(fullName);
  memo_->RememberEntry(fullName, exists);
  return exists;
}

std::optional<std::string> DirectoryNames::AskCanonical(std::string_view name) {
  const std::size_t dot = name.find('.');
  const std::string leaf(name.substr(0, dot));
  const std::string container(dot == std::string_view::npos ? std::string_view()
                                                            : TailFrom(name, dot + 1));

  if (client_.DXVRSetContextName(context_, container) < 0) return std::nullopt;
  std::string objectName;
  if (client_.ReadObjectName(context_, leaf, &objectName) < 0) return std::nullopt;
  objectName = Cut(objectName, kClientBuffer - 1);
  std::string canonical;
  const std::int32_t result = client_.DXVRCanonicalizeName(context_, objectName, &canonical);
  if (result < 0) {
    messages_.ShowMessage("DXVRCanonicalizeName failed (" + std::to_string(result) + ")");
    return std::nullopt;
  }
  // The client writes into a zero-terminated buffer: the text ends at the first zero.
  canonical = Cut(canonical, kClientBuffer - 1);
  return canonical.substr(0, canonical.find('\0'));
}

std::string DirectoryNames::CanonicalizeName(const std::string& dotted) {
  if (dotted.empty() || dotted == ".") return dotted;
  const std::string_view name = WithoutLeadingDots(dotted);
  if (name.empty()) return dotted;
  if (!memo_) return AskCanonical(name).value_or(dotted);
  if (const NameMemo::Canonical* known = memo_->CanonicalOf(name))
    return known->name.value_or(dotted);
  std::optional<std::string> canonical = AskCanonical(name);
  memo_->RememberCanonical(name, canonical);
  return canonical.value_or(dotted);
}

// ResolveAlias answers true only when CanonicalizeName(dotted) differs from dotted other
// than in ASCII case. For a typeless dotted name none of whose leading parts is an alias,
// a client either fails at some step (CanonicalizeName gives the input back) or reaches
// the object along those same components and spells each as the directory stores it,
// equal to the input but for ASCII case; neither differs, so the answer is false whether
// or not the entry exists. That holds only where nothing is cut: a full name of at most
// 255 characters gives a dotted name and a container within the client's limits. A typeful
// component ("CN=Bob") is not answered: its canonical form is typeless and differs.
bool DirectoryNames::ProvablyNoAlias(const std::string& fullName) const {
  if (!index_ || fullName.size() > kNameLimit) return false;
  const std::string dotted = FullNameToDotted(fullName);
  if (dotted.find('=') != std::string::npos) return false;
  return index_->NoLeadingPartIsAlias(dotted);
}

bool DirectoryNames::ResolveAlias(const std::string& fullName, std::string* target) {
  // A failure anywhere means "not an alias": the scan must go on.
  try {
    // Answered without the client, the target is left as it was: callers read it only
    // after a true answer.
    if (ProvablyNoAlias(fullName)) return false;
    if (!FindEntry(fullName)) return false;
    const std::string dotted = FullNameToDotted(fullName);
    const std::string canonical = CanonicalizeName(dotted);
    *target = FullNameOf(canonical);
    return !EqualsIgnoreCase(canonical, dotted);
  } catch (...) {
    return false;
  }
}

bool DirectoryNames::IsEntry(const std::string& fullName) {
  try {
    return FindEntry(fullName);
  } catch (...) {
    return false;
  }
}

bool DirectoryNames::DropLastComponent(NameSplit* split) {
  const int p = LastCharPos('\\', split->objectPart);
  if (p == 0) return false;
  const std::size_t slash = static_cast<std::size_t>(p) - 1;
  split->rest = std::string(TailFrom(split->objectPart, slash)) + split->rest;
  split->objectPart.erase(slash);
  return true;
}

NameSplit DirectoryNames::FindObjectPrefix(const std::string& path) {
  NameSplit split{path, {}};
  if (path.find('\\') != std::string::npos) {
    do {
      if (IsEntry(split.objectPart)) return split;
    } while (DropLastComponent(&split));
  }
  return NameSplit{{}, path};
}

// Why the short-cut gives the pair's answer. Let Q be the longest prefix that is an entry
// (FindObjectPrefix's object part) and N(x) = namePrefix + x. The walk goes from the
// longest prefix down and asks the client as FindObjectPrefix does, but stops with false
// as soon as N(x) is provably alias-free (ProvablyNoAlias) for the prefix x and for every
// shorter one, and for N("") too unless namePrefix is empty. Every prefix longer than the
// stop was asked and is none, so Q, if any, is among the provably alias-free ones and
// ResolveAlias(N(Q)) is false at its first step; with no Q the pair resolves N(""), false
// as well (or names nothing). Without a stop the walk is FindObjectPrefix. (Prefixes are
// nested, so past the tree a prefix through an alias makes every longer one pass through
// it; the tree and the protocol alone are spelt apart, which is why all shorter are checked.)
bool DirectoryNames::ResolveObjectPrefix(const std::string& path, std::string_view namePrefix,
                                         NameSplit* split, std::string* target) {
  const auto nameOf = [namePrefix](const std::string& objectPart) {
    return std::string(namePrefix).append(objectPart);
  };
  std::vector<NameSplit> prefixes;  // longest first
  if (path.find('\\') != std::string::npos) {
    NameSplit walk{path, {}};
    do {
      prefixes.push_back(walk);
    } while (DropLastComponent(&walk));
  }
  // stopAt: the first (longest) prefix from which on every name is provably alias-free.
  std::size_t stopAt = prefixes.size() + 1;
  if (index_ && (namePrefix.empty() || ProvablyNoAlias(nameOf({})))) {
    stopAt = prefixes.size();
    while (stopAt > 0 && ProvablyNoAlias(nameOf(prefixes[stopAt - 1].objectPart))) --stopAt;
  }
  NameSplit found{{}, path};
  for (std::size_t i = 0; i < prefixes.size(); ++i) {
    if (i == stopAt) return false;
    if (IsEntry(prefixes[i].objectPart)) {
      found = std::move(prefixes[i]);
      break;
    }
  }
  if (found.objectPart.empty()) {
    if (stopAt <= prefixes.size() || namePrefix.empty()) return false;
  }
  if (!ResolveAlias(nameOf(found.objectPart), target)) return false;
  *split = std::move(found);
  return true;
}

}  // namespace zeb
