#include "directory/directory_tree.h"

#include <algorithm>

#include "directory/ldif_result.h"
#include "platform/text.h"

namespace zeb {

namespace {

struct LoadFailure {
  std::int32_t code;
  int line;
  std::string what;
};

// The attribute description without its options ("objectClass;x" is an objectClass).
bool IsAttribute(const LdifAttribute& attribute, std::string_view name) {
  const std::string_view description = attribute.type;
  return EqualsIgnoreCase(description.substr(0, description.find(';')), name);
}

std::string DnText(const std::vector<Rdn>& leafFirst) {
  std::string text;
  for (const Rdn& rdn : leafFirst)
    text.append(text.empty() ? "" : ",").append(rdn.type + "=" + rdn.value);
  return text;
}

std::string DnText(const DirectoryTree::Entry& entry) {
  std::string text;
  for (const DirectoryTree::Entry* at = &entry; at->parent != nullptr; at = at->parent)
    text.append(text.empty() ? "" : ",").append(at->type + "=" + at->value);
  return text;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

DirectoryTree::Entry* ChildNamed(const DirectoryTree::Entry& parent, std::string_view type,
                                 std::string_view value) {
  const auto it = parent.children.find(UpperAscii(value));
  if (it == parent.children.end()) return nullptr;
  if (!type.empty() && !EqualsIgnoreCase(it->second->type, type)) return nullptr;
  return it->second;
}

}  // namespace

// Turns the records into entries: DNs first, then placement root first, then aliases.
class DirectoryTree::Builder {
 public:
  explicit Builder(DirectoryTree& tree) : tree_(tree) {}

  void Build(const std::vector<LdifRecord>& records) {
    std::vector<Parsed> parsed;
    for (const LdifRecord& record : records) {
      Parsed p{&record, ParseName(record)};
      if (IsTreeDeclaration(p)) continue;
      parsed.push_back(std::move(p));
    }
    // Containers before what they hold, whatever order the file has.
    std::stable_sort(parsed.begin(), parsed.end(), [](const Parsed& a, const Parsed& b) {
      return a.rootFirst.size() < b.rootFirst.size();
    });
    for (const Parsed& p : parsed) Place(p);
    for (PendingAlias& alias : aliases_) Resolve(alias);
  }

 private:
  struct Parsed {
    const LdifRecord* record;
    std::vector<Rdn> rootFirst;
  };
  enum class State { kUnresolved, kResolving, kResolved };

  std::vector<Rdn> ParseName(const LdifRecord& record) {
    std::vector<Rdn> rdns;
    std::string problem;
    if (!ParseDn(record.dn, &rdns, &problem))
      throw LoadFailure{dirresult::kMalformedLdif, record.line,
                        "the DN " + Quoted(record.dn) + " is not valid: " + problem};
    for (const Rdn& rdn : rdns) {
      if (rdn.value.find_first_of(".\\") != std::string::npos)
        throw LoadFailure{dirresult::kMalformedLdif, record.line,
                          "the name " + Quoted(rdn.value) +
                              " cannot be used: directory names here cannot hold \".\" or \"\\\""};
    }
    std::reverse(rdns.begin(), rdns.end());
    return rdns;
  }

  bool IsTreeDeclaration(const Parsed& p) {
    const auto isTree = [](const Rdn& rdn) { return EqualsIgnoreCase(rdn.type, "t"); };
    if (std::none_of(p.rootFirst.begin(), p.rootFirst.end(), isTree)) return false;
    if (p.rootFirst.size() != 1)
      throw LoadFailure{dirresult::kMisplacedEntry, p.record->line,
                        "a tree (\"t=\") is named on its own, as in \"dn: t=ACME_TREE\"; "
                        "the other DNs start below it"};
    if (treeLine_ != 0)
      throw LoadFailure{dirresult::kDuplicateEntry, p.record->line,
                        "the tree is already named at line " + std::to_string(treeLine_)};
    treeLine_ = p.record->line;
    tree_.declaredTreeName_ = p.rootFirst.front().value;
    return true;
  }

  void Place(const Parsed& p) {
    const int line = p.record->line;
    Entry* container = &tree_.root_;
    for (std::size_t i = 0; i + 1 < p.rootFirst.size(); ++i) {
      const Rdn& rdn = p.rootFirst[i];
      Entry* next = ChildNamed(*container, rdn.type, rdn.value);
      if (next == nullptr) {
        const std::vector<Rdn> leafFirst(p.rootFirst.rend() - static_cast<std::ptrdiff_t>(i) - 1,
                                         p.rootFirst.rend());
        throw LoadFailure{dirresult::kMisplacedEntry, line,
                          "the container " + Quoted(DnText(leafFirst)) +
                              " of this entry is not in the file"};
      }
      if (next->isAlias)
        throw LoadFailure{dirresult::kMisplacedEntry, line,
                          "this entry is placed under the alias " + Quoted(DnText(*next)) +
                              " (line " + std::to_string(next->line) +
                              "); aliases hold no entries"};
      container = next;
    }

    const Rdn& name = p.rootFirst.back();
    const std::string key = UpperAscii(name.value);
    const auto existing = container->children.find(key);
    if (existing != container->children.end()) {
      const Entry& other = *existing->second;
      const bool sameType = EqualsIgnoreCase(other.type, name.type);
      throw LoadFailure{dirresult::kDuplicateEntry, line,
                        sameType ? "the entry " + Quoted(DnText(other)) +
                                       " is already defined at line " + std::to_string(other.line)
                                 : "the name " + Quoted(name.value) + " is already used by " +
                                       Quoted(DnText(other)) + " (line " +
                                       std::to_string(other.line) +
                                       "); names in one container must differ in more than type"};
    }

    auto entry = std::make_unique<Entry>();
    entry->parent = container;
    entry->type = name.type;
    entry->value = name.value;
    entry->line = line;
    ReadAliasTarget(*p.record, entry.get());
    container->children.emplace(key, entry.get());
    tree_.entries_.push_back(std::move(entry));
  }

  void ReadAliasTarget(const LdifRecord& record, Entry* entry) {
    const auto& attributes = record.attributes;
    entry->isAlias = std::any_of(attributes.begin(), attributes.end(), [](const LdifAttribute& a) {
      return IsAttribute(a, "objectClass") && EqualsIgnoreCase(a.value, "alias");
    });
    if (!entry->isAlias) return;
    const LdifAttribute* target = nullptr;
    for (const LdifAttribute& attribute : attributes) {
      if (!IsAttribute(attribute, "aliasedObjectName")) continue;
      if (target != nullptr)
        throw LoadFailure{dirresult::kMalformedLdif, attribute.line,
                          "the alias has more than one aliasedObjectName"};
      target = &attribute;
    }
    if (target == nullptr)
      throw LoadFailure{dirresult::kAliasToNothing, record.line,
                        "the alias " + Quoted(record.dn) + " has no aliasedObjectName"};
    std::vector<Rdn> rdns;
    std::string problem;
    if (!ParseDn(target->value, &rdns, &problem))
      throw LoadFailure{dirresult::kMalformedLdif, target->line,
                        "the aliasedObjectName " + Quoted(target->value) + " is not valid: " +
                            problem};
    std::reverse(rdns.begin(), rdns.end());
    aliases_.push_back({entry, std::move(rdns), target->line, target->value});
    pendingOf_[entry] = aliases_.size() - 1;
  }

  // Follows the alias's target name from the root, resolving every alias on the way (an
  // explicit stack rather than recursion: a long chain in a file must not overflow).
  void Resolve(PendingAlias& start) {
    struct Step {
      PendingAlias* alias;
      std::size_t next = 0;  // the target component to find next
      const Entry* at;
    };
    if (state_[start.alias] == State::kResolved) return;
    std::vector<Step> stack{{&start, 0, &tree_.root_}};
    state_[start.alias] = State::kResolving;
    while (!stack.empty()) {
      Step& step = stack.back();
      if (step.next == step.alias->target.size()) {
        step.alias->alias->aliased = step.at;
        state_[step.alias->alias] = State::kResolved;
        const Entry* reached = step.at;
        stack.pop_back();
        if (!stack.empty()) {
          stack.back().at = reached;
          ++stack.back().next;
        }
        continue;
      }
      const Rdn& rdn = step.alias->target[step.next];
      Entry* child = ChildNamed(*step.at, rdn.type, rdn.value);
      if (child == nullptr)
        throw LoadFailure{dirresult::kAliasToNothing, step.alias->line,
                          "the alias " + Quoted(DnText(*step.alias->alias)) + " points to " +
                              Quoted(step.alias->targetText) + ", which is not in the file"};
      if (!child->isAlias) {
        step.at = child;
        ++step.next;
        continue;
      }
      Entry* inner = child;
      switch (state_[inner]) {
        case State::kResolved:
          step.at = inner->aliased;
          ++step.next;
          break;
        case State::kResolving:
          throw LoadFailure{dirresult::kAliasLoop, step.alias->line, LoopText(stack, *inner)};
        case State::kUnresolved:
          state_[inner] = State::kResolving;
          stack.push_back({&aliases_[pendingOf_[inner]], 0, &tree_.root_});
          break;
      }
    }
  }

  template <typename Stack>
  static std::string LoopText(const Stack& stack, const Entry& again) {
    std::string text = "following aliases comes back to where it started: ";
    bool started = false;
    for (const auto& step : stack) {
      started = started || step.alias->alias == &again;
      if (!started) continue;
      text.append(Quoted(DnText(*step.alias->alias)))
          .append(" (line ")
          .append(std::to_string(step.alias->alias->line))
          .append(") -> ");
    }
    return text + Quoted(DnText(again));
  }

  DirectoryTree& tree_;
  int treeLine_ = 0;
  std::vector<PendingAlias> aliases_;
  std::unordered_map<const Entry*, std::size_t> pendingOf_;
  std::unordered_map<const Entry*, State> state_;
};

DirectoryTree::DirectoryTree() = default;

void DirectoryTree::Clear() {
  root_.children.clear();
  entries_.clear();
  declaredTreeName_.clear();
}

DirectoryTree::LoadOutcome DirectoryTree::Load(const LdifContent& content) {
  Clear();
  if (!content.ok) {
    return {content.unreadable ? dirresult::kFileMissing : dirresult::kMalformedLdif,
            content.problem};
  }
  try {
    Builder(*this).Build(content.records);
  } catch (const LoadFailure& failure) {
    Clear();
    return {failure.code, {content.fileName, failure.line, failure.what}};
  }
  return {};
}

const DirectoryTree::Entry* DirectoryTree::Find(const std::vector<std::string_view>& rootFirst,
                                                bool followLast) const {
  const Entry* at = &root_;
  for (std::size_t i = 0; i < rootFirst.size(); ++i) {
    const std::string_view component = rootFirst[i];
    const std::size_t equals = component.find('=');
    const bool typeful = equals != std::string_view::npos;
    const std::string_view type = typeful ? component.substr(0, equals) : std::string_view();
    const std::string_view value = typeful ? component.substr(equals + 1) : component;
    // A typeful component with an empty type matches nothing.
    if (typeful && type.empty()) return nullptr;
    const Entry* child = ChildNamed(*at, type, value);
    if (child == nullptr) return nullptr;
    if (child->isAlias && (i + 1 < rootFirst.size() || followLast)) child = child->aliased;
    at = child;
  }
  return at;
}

std::string DirectoryTree::DottedName(const Entry& entry, bool typeful) {
  std::string name;
  for (const Entry* at = &entry; at->parent != nullptr; at = at->parent) {
    if (!name.empty()) name.push_back('.');
    if (typeful) name.append(UpperAscii(at->type)).push_back('=');
    name.append(at->value);
  }
  return name;
}

std::string DirectoryTree::PathOf(const Entry& entry) {
  std::string path;
  for (const Entry* at = &entry; at->parent != nullptr; at = at->parent)
    path.insert(0, "\\" + at->value);
  return path;
}

}  // namespace zeb
