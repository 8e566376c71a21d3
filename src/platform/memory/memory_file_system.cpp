#include "platform/memory/memory_file_system.h"

#include <cctype>
#include <stdexcept>

#include "platform/code_page_1252.h"
#include "platform/memory/file_name_match.h"
#include "platform/wide_case.h"

namespace zeb {

// Children are keyed by their upper-cased name: that makes lookups ignore case and gives
// the order Wine lists a folder in (sorted ignoring case, by UTF-16 code unit).
struct MemoryFileSystem::Node {
  std::string name;
  bool isFolder = true;
  std::uint32_t attributes = fileattr::kDirectory;
  std::string bytes;
  Node* parent = nullptr;
  std::map<std::u16string, std::unique_ptr<Node>> children;
};

struct MemoryFileSystem::Location {
  char drive = 'C';
  std::vector<std::string> names;  // folder names below the root, then the entry's own
  std::vector<std::u16string> keys;
  std::u16string fullKey;  // identifies the path whatever its case or spelling
};

namespace {

std::u16string NameKey(const std::string& name) {
  std::u16string key = AnsiToWide(name);
  for (char16_t& c : key) c = UpperWide(c);
  return key;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

MemoryFileSystem::MemoryFileSystem() { drives_['C'] = std::make_unique<Node>(); }

MemoryFileSystem::~MemoryFileSystem() = default;

// "C:\a\..\b\", "c:/b" and "\b" all name the same folder; "\\server\share" is no drive path.
std::optional<MemoryFileSystem::Location> MemoryFileSystem::Locate(const std::string& path) const {
  Location location;
  std::size_t i = 0;
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
    location.drive = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
    i = 2;
  } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    return std::nullopt;
  }
  while (i <= path.size()) {
    std::size_t end = i;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    const std::string name = path.substr(i, end - i);
    if (name == "..") {
      if (!location.names.empty()) location.names.pop_back();
    } else if (!name.empty() && name != ".") {
      location.names.push_back(name);
    }
    i = end + 1;
  }
  location.fullKey = std::u16string(1, static_cast<char16_t>(location.drive)) + u":";
  for (const std::string& name : location.names) {
    location.keys.push_back(NameKey(name));
    location.fullKey += u'\\' + location.keys.back();
  }
  return location;
}

MemoryFileSystem::Node* MemoryFileSystem::Find(const Location& location) const {
  const auto drive = drives_.find(location.drive);
  if (drive == drives_.end()) return nullptr;
  Node* node = drive->second.get();
  for (const std::u16string& key : location.keys) {
    const auto child = node->children.find(key);
    if (child == node->children.end()) return nullptr;
    node = child->second.get();
  }
  return node;
}

// The folders named by the first `count` names of the location, made where missing.
MemoryFileSystem::Node& MemoryFileSystem::MakeFolders(const Location& location, std::size_t count) {
  std::unique_ptr<Node>& drive = drives_[location.drive];
  if (!drive) drive = std::make_unique<Node>();
  Node* node = drive.get();
  for (std::size_t i = 0; i < count; ++i) {
    std::unique_ptr<Node>& child = node->children[location.keys[i]];
    if (!child) {
      child = std::make_unique<Node>();
      child->name = location.names[i];
      child->parent = node;
    } else if (!child->isFolder) {
      throw std::invalid_argument("a file stands where a folder is needed: " + location.names[i]);
    }
    node = child.get();
  }
  return *node;
}

void MemoryFileSystem::MakeFolder(const std::string& path, std::uint32_t attributes) {
  const std::optional<Location> location = Locate(path);
  if (!location) throw std::invalid_argument("not a drive path: " + path);
  Node& folder = MakeFolders(*location, location->names.size());
  folder.attributes = (attributes & ~fileattr::kArchive) | fileattr::kDirectory;
}

void MemoryFileSystem::WriteFile(const std::string& path, const std::string& bytes,
                                 std::uint32_t attributes) {
  const std::optional<Location> location = Locate(path);
  if (!location || location->names.empty()) throw std::invalid_argument("not a file path: " + path);
  Node& folder = MakeFolders(*location, location->names.size() - 1);
  std::unique_ptr<Node>& file = folder.children[location->keys.back()];
  if (file && file->isFolder) throw std::invalid_argument("a folder stands there: " + path);
  if (!file) {
    file = std::make_unique<Node>();
    file->name = location->names.back();
    file->parent = &folder;
    file->isFolder = false;
  }
  file->bytes = bytes;
  // Windows marks every file it writes for archiving.
  file->attributes = (attributes & ~fileattr::kDirectory) | fileattr::kArchive;
}

std::optional<std::string> MemoryFileSystem::ReadFile(const std::string& path) const {
  const std::optional<Location> location = Locate(path);
  if (!location || failedReads_.count(location->fullKey)) return std::nullopt;
  const Node* node = Find(*location);
  if (!node || node->isFolder) return std::nullopt;
  return node->bytes;
}

bool MemoryFileSystem::Exists(const std::string& path) const {
  const std::optional<Location> location = Locate(path);
  return location && Find(*location) != nullptr;
}

void MemoryFileSystem::FailWrites(const std::string& path) {
  if (const std::optional<Location> location = Locate(path)) failedWrites_.insert(location->fullKey);
}

void MemoryFileSystem::FailReads(const std::string& path) {
  if (const std::optional<Location> location = Locate(path)) failedReads_.insert(location->fullKey);
}

bool MemoryFileSystem::IsWritable(const std::string& path) const {
  const std::optional<Location> location = Locate(path);
  if (!location || location->names.empty()) return false;
  if (failedWrites_.count(location->fullKey) || failedReads_.count(location->fullKey)) return false;
  if (const Node* node = Find(*location))
    return !node->isFolder && !(node->attributes & fileattr::kReadOnly);
  Location folder = *location;
  folder.keys.pop_back();
  const Node* parent = Find(folder);
  return parent && parent->isFolder;
}

bool MemoryFileSystem::StoreFile(const std::string& path, const std::string& bytes) {
  if (!IsWritable(path)) return false;
  const std::optional<Location> location = Locate(path);
  if (Node* node = Find(*location)) {
    node->bytes = bytes;
  } else {
    WriteFile(path, bytes);
  }
  return true;
}

bool MemoryFileSystem::RemoveFile(const std::string& path) {
  const std::optional<Location> location = Locate(path);
  Node* node = location ? Find(*location) : nullptr;
  if (!node) return true;
  if (!IsWritable(path)) return false;
  node->parent->children.erase(location->keys.back());
  return true;
}

std::optional<std::vector<FileEntry>> MemoryFileSystem::ListFolder(const std::string& path) const {
  const std::optional<Location> location = Locate(path);
  const Node* folder = location ? Find(*location) : nullptr;
  if (!folder || !folder->isFolder) return std::nullopt;
  std::vector<FileEntry> entries;
  if (folder->parent) {
    entries.push_back({".", folder->attributes, std::string()});
    entries.push_back({"..", folder->parent->attributes, std::string()});
  }
  for (const auto& child : folder->children)
    entries.push_back(
        {child.second->name, child.second->attributes, ShortFileName(child.second->name)});
  return entries;
}

}  // namespace zeb
