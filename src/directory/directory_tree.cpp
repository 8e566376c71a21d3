#include "directory/directory_tree.h"

#include <algorithm>

#include "directory/ldif_result.h"
#include "platform/code_page_1252.h"
#include "platform/text.h"
#include "platform/unicode.h"

namespace zeb {

namespace {

struct LoadFailure {
  std::int32_t code;
  int line;
  std::string what;
};

using Entry = DirectoryTree::Entry;

// The attribute description without its options ("objectClass;x" is an objectClass).
bool IsAttribute(const LdifAttribute& attribute, std::string_view name) {
  const std::string_view description = attribute.type;
  return EqualsIgnoreCase(description.substr(0, description.find(';')), name);
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string KeyOf(std::string_view utf8Value) { return UpperAscii(utf8Value); }
// A name kept as written (several values, hex) is kept under a key that begins with a byte no UTF-8 text holds,
// so that no name of the program finds it.
std::string KeyOf(const Rdn& rdn) {
  return rdn.verbatim ? "\xFF" + UpperAscii(rdn.value) : UpperAscii(rdn.value);
}
std::string KeyOf(const Entry& entry) {
  return entry.verbatim ? "\xFF" + UpperAscii(entry.value) : UpperAscii(entry.value);
}

std::string DnText(const std::vector<Rdn>& leafFirst) {
  std::string text;
  for (const Rdn& rdn : leafFirst)
    text.append(text.empty() ? "" : ",").append(rdn.type + "=" + rdn.value);
  return text;
}

std::string DnText(const Entry& entry) {
  std::string text;
  for (const Entry* at = &entry; at->parent != nullptr; at = at->parent)
    text.append(text.empty() ? "" : ",").append(at->type + "=" + at->value);
  return text;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

bool SameRdn(const Rdn& a, const Rdn& b) {
  return a.verbatim == b.verbatim && EqualsIgnoreCase(a.type, b.type) &&
         EqualsIgnoreCase(a.value, b.value);
}

// `type` empty: the one child of that name whatever its type, null when two fit.
Entry* ChildWithKey(const Entry& parent, std::string_view type, const std::string& key) {
  const auto it = parent.children.find(key);
  if (it == parent.children.end()) return nullptr;
  if (type.empty()) return it->second.size() == 1 ? it->second.front() : nullptr;
  for (Entry* child : it->second)
    if (EqualsIgnoreCase(child->type, type)) return child;
  return nullptr;
}

Entry* ChildNamed(const Entry& parent, std::string_view type, std::string_view utf8Value) {
  return ChildWithKey(parent, type, KeyOf(utf8Value));
}

Entry* ChildNamed(const Entry& parent, const Rdn& rdn) {
  return ChildWithKey(parent, rdn.type, KeyOf(rdn));
}

// DN, names UTF-8, root first; false with `problem` for a malformed one.
bool ParseRootFirst(std::string_view dn, std::vector<Rdn>* rdns, std::string* problem) {
  if (!ParseDn(dn, rdns, problem)) return false;
  // Exports write UTF-8; a text that is not UTF-8 was written in the code page.
  for (Rdn& rdn : *rdns)
    if (!IsUtf8(rdn.value)) rdn.value = AnsiToUtf8(rdn.value);
  std::reverse(rdns->begin(), rdns->end());
  return true;
}

// `rootFirst` without the base in front; false when it does not lie below the base.
bool BelowBase(const std::vector<Rdn>& base, std::vector<Rdn>* rootFirst) {
  if (rootFirst->size() < base.size()) return false;
  for (std::size_t i = 0; i < base.size(); ++i)
    if (!SameRdn(base[i], (*rootFirst)[i])) return false;
  rootFirst->erase(rootFirst->begin(), rootFirst->begin() + static_cast<std::ptrdiff_t>(base.size()));
  return true;
}

// The value in the code page, if it can be written there without the form's separators.
bool WritableValue(const Entry& entry, std::string_view separators, std::string* ansi) {
  if (entry.verbatim || !Utf8ToAnsi(entry.value, ansi)) return false;
  return ansi->find_first_of(separators) == std::string::npos;
}

}  // namespace

// Turns the records into entries: DNs first, then placement root first, then aliases.
class DirectoryTree::Builder {
 public:
  Builder(DirectoryTree& tree, const LdifContent& content, std::vector<Rdn> base)
      : tree_(tree), content_(content), base_(std::move(base)) {}

  void Build() {
    std::vector<Parsed> parsed;
    for (const LdifRecord& record : content_.records) {
      Parsed p{&record, ParseName(record)};
      if (IsTreeDeclaration(p)) continue;
      // The base's own entry is the tree; what lies outside the base is not in it.
      if (!BelowBase(base_, &p.rootFirst) || p.rootFirst.empty()) continue;
      parsed.push_back(std::move(p));
    }
    if (!base_.empty() && parsed.empty()) {
      std::vector<Rdn> leafFirst(base_.rbegin(), base_.rend());
      throw LoadFailure{dirresult::kNothingBelowBase, 0,
                        "no entry of the file lies below the base " + Quoted(DnText(leafFirst))};
    }
    // Containers before what they hold, whatever order the file has.
    std::stable_sort(parsed.begin(), parsed.end(), [](const Parsed& a, const Parsed& b) {
      return a.rootFirst.size() < b.rootFirst.size();
    });
    for (const Parsed& p : parsed) Place(p);
    for (PendingAlias& alias : pending_) Resolve(alias);
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
    if (!ParseRootFirst(record.dn, &rdns, &problem))
      throw LoadFailure{dirresult::kMalformedLdif, record.line,
                        "the DN " + Quoted(record.dn) + " is not valid: " + problem};
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
    std::string name;
    tree_.declaredTreeName_ =
        Utf8ToAnsi(p.rootFirst.front().value, &name) ? name : p.rootFirst.front().value;
    return true;
  }

  Entry* NewChild(Entry* container, const Rdn& name, int line, bool glue) {
    auto entry = std::make_unique<Entry>();
    entry->parent = container;
    entry->type = name.type;
    entry->value = name.value;
    entry->line = line;
    entry->isGlue = glue;
    entry->verbatim = name.verbatim;
    Entry* added = entry.get();
    container->children[KeyOf(name)].push_back(added);
    tree_.entries_.push_back(std::move(entry));
    return added;
  }

  void Place(const Parsed& p) {
    const int line = p.record->line;
    Entry* container = &tree_.root_;
    for (std::size_t i = 0; i + 1 < p.rootFirst.size(); ++i) {
      const Rdn& rdn = p.rootFirst[i];
      Entry* next = ChildNamed(*container, rdn);
      // A subtree's export names containers it does not hold.
      if (next == nullptr) next = NewChild(container, rdn, 0, true);
      if (next->isAlias)
        throw LoadFailure{dirresult::kMisplacedEntry, line,
                          "this entry is placed under the alias " + Quoted(DnText(*next)) +
                              " (line " + std::to_string(next->line) +
                              "); aliases hold no entries"};
      container = next;
    }

    const Rdn& name = p.rootFirst.back();
    Entry* entry = ChildNamed(*container, name);
    if (entry != nullptr && !entry->isGlue)
      throw LoadFailure{dirresult::kDuplicateEntry, line,
                        "the entry " + Quoted(DnText(*entry)) + " is already defined at line " +
                            std::to_string(entry->line)};
    if (entry == nullptr) {
      entry = NewChild(container, name, line, false);
    } else {
      entry->isGlue = false;
      entry->line = line;
    }
    ReadAliasTarget(*p.record, entry);
  }

  std::string Value(const LdifAttribute& attribute) {
    std::string value;
    LdifProblem problem;
    if (!ReadAttributeValue(attribute, content_.fileName, &value, &problem))
      throw LoadFailure{dirresult::kFileMissing, problem.line, problem.what};
    return value;
  }

  void ReadAliasTarget(const LdifRecord& record, Entry* entry) {
    for (const LdifAttribute& attribute : record.attributes)
      if (IsAttribute(attribute, "objectClass") && EqualsIgnoreCase(Value(attribute), "alias"))
        entry->isAlias = true;
    if (!entry->isAlias) return;
    const LdifAttribute* target = nullptr;
    for (const LdifAttribute& attribute : record.attributes) {
      if (!IsAttribute(attribute, "aliasedObjectName")) continue;
      if (target != nullptr)
        throw LoadFailure{dirresult::kMalformedLdif, attribute.line,
                          "the alias has more than one aliasedObjectName"};
      target = &attribute;
    }
    if (target == nullptr)
      throw LoadFailure{dirresult::kAliasToNothing, record.line,
                        "the alias " + Quoted(record.dn) + " has no aliasedObjectName"};
    const std::string targetText = Value(*target);
    std::string problem;
    if (!ParseRootFirst(targetText, &entry->target, &problem))
      throw LoadFailure{dirresult::kMalformedLdif, target->line,
                        "the aliasedObjectName " + Quoted(targetText) + " is not valid: " +
                            problem};
    // A target outside the base, or the base itself, is no object of this tree.
    if (!BelowBase(base_, &entry->target)) entry->target.clear();
    pending_.push_back({entry, target->line});
    pendingOf_[entry] = pending_.size() - 1;
    tree_.aliases_.push_back(entry);
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
    // Every alias on the stack waits for the one above it: when that one leads nowhere,
    // so do they all.
    const auto allDangling = [&] {
      for (const Step& step : stack) {
        step.alias->alias->aliased = nullptr;
        state_[step.alias->alias] = State::kResolved;
      }
      stack.clear();
    };
    while (!stack.empty()) {
      Step& step = stack.back();
      const std::vector<Rdn>& target = step.alias->alias->target;
      if (target.empty()) {
        allDangling();
        continue;
      }
      if (step.next == target.size()) {
        if (step.at->isGlue) {
          allDangling();
          continue;
        }
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
      const Rdn& rdn = target[step.next];
      Entry* child = ChildNamed(*step.at, rdn);
      if (child == nullptr) {
        allDangling();
        continue;
      }
      if (!child->isAlias) {
        step.at = child;
        ++step.next;
        continue;
      }
      Entry* inner = child;
      switch (state_[inner]) {
        case State::kResolved:
          if (inner->aliased == nullptr) {
            allDangling();
          } else {
            step.at = inner->aliased;
            ++step.next;
          }
          break;
        case State::kResolving:
          throw LoadFailure{dirresult::kAliasLoop, step.alias->line, LoopText(stack, *inner)};
        case State::kUnresolved:
          state_[inner] = State::kResolving;
          stack.push_back({&pending_[pendingOf_[inner]], 0, &tree_.root_});
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
  const LdifContent& content_;
  const std::vector<Rdn> base_;
  int treeLine_ = 0;
  std::vector<PendingAlias> pending_;
  std::unordered_map<const Entry*, std::size_t> pendingOf_;
  std::unordered_map<const Entry*, State> state_;
};

DirectoryTree::DirectoryTree() = default;

void DirectoryTree::Clear() {
  root_.children.clear();
  entries_.clear();
  aliases_.clear();
  declaredTreeName_.clear();
}

DirectoryTree::LoadOutcome DirectoryTree::Load(const LdifContent& content, std::string_view base) {
  Clear();
  if (!content.ok) {
    return {content.unreadable ? dirresult::kFileMissing : dirresult::kMalformedLdif,
            content.problem};
  }
  std::vector<Rdn> baseRootFirst;
  std::string problem;
  if (!base.empty() && !ParseRootFirst(base, &baseRootFirst, &problem))
    return {dirresult::kMalformedLdif,
            {content.fileName, 0,
             "the base " + Quoted(std::string(base)) + " is not a valid DN: " + problem}};
  try {
    Builder(*this, content, std::move(baseRootFirst)).Build();
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
    const Entry* child =
        IsAscii(value) ? ChildNamed(*at, type, value) : ChildNamed(*at, type, AnsiToUtf8(value));
    if (child == nullptr) return nullptr;
    if (child->isAlias && (i + 1 < rootFirst.size() || followLast)) child = child->aliased;
    if (child == nullptr) return nullptr;
    at = child;
  }
  return at->isGlue ? nullptr : at;
}

bool DirectoryTree::DottedName(const Entry& entry, bool typeful, std::string* name) {
  std::string dotted;
  std::string value;
  for (const Entry* at = &entry; at->parent != nullptr; at = at->parent) {
    if (!WritableValue(*at, ".\\", &value)) return false;
    // A typeless name that fits a sibling too would name neither.
    if (!typeful && at->parent->children.at(KeyOf(*at)).size() > 1) return false;
    if (!dotted.empty()) dotted.push_back('.');
    if (typeful) dotted.append(UpperAscii(at->type)).push_back('=');
    dotted.append(value);
  }
  *name = std::move(dotted);
  return true;
}

bool DirectoryTree::PathOf(const Entry& entry, std::string* path) {
  std::vector<std::string> components;
  if (!ComponentsOf(entry, &components)) return false;
  std::string text;
  for (const std::string& component : components) text.append("\\").append(component);
  *path = std::move(text);
  return true;
}

bool DirectoryTree::ComponentsOf(const Entry& entry, std::vector<std::string>* rootFirst) {
  std::vector<std::string> components;
  std::string value;
  for (const Entry* at = &entry; at->parent != nullptr; at = at->parent) {
    if (!WritableValue(*at, "\\", &value)) return false;
    components.push_back(value);
  }
  std::reverse(components.begin(), components.end());
  *rootFirst = std::move(components);
  return true;
}

bool DirectoryTree::NameOf(const Entry& entry, std::string* name) {
  return WritableValue(entry, "\\", name);
}

}  // namespace zeb
