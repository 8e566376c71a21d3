#include "platform/memory/memory_shell_links.h"

#include <charconv>

#include "platform/text.h"

namespace zeb {
namespace {

// "ZEB-SHORTCUT\n" and then each field as its length, ":", its bytes and "\n".
constexpr std::string_view kSignature = "ZEB-SHORTCUT\n";

void AppendField(const std::string& field, std::string& out) {
  out += std::to_string(field.size()) + ":" + field + "\n";
}

bool TakeField(std::string_view& rest, std::string* field) {
  const std::size_t colon = rest.find(':');
  if (colon == std::string_view::npos || colon == 0) return false;
  std::size_t length = 0;
  const auto parsed = std::from_chars(rest.data(), rest.data() + colon, length);
  if (parsed.ec != std::errc() || parsed.ptr != rest.data() + colon) return false;
  rest.remove_prefix(colon + 1);
  if (rest.size() < length + 1 || rest[length] != '\n') return false;
  *field = std::string(rest.substr(0, length));
  rest.remove_prefix(length + 1);
  return true;
}

std::string EncodeShortcut(const MemoryShortcut& shortcut) {
  std::string out(kSignature);
  AppendField(shortcut.target, out);
  AppendField(shortcut.workingDirectory, out);
  AppendField(shortcut.arguments, out);
  return out;
}

std::optional<MemoryShortcut> DecodeShortcut(std::string_view bytes) {
  if (bytes.substr(0, kSignature.size()) != kSignature) return std::nullopt;
  bytes.remove_prefix(kSignature.size());
  MemoryShortcut shortcut;
  if (!TakeField(bytes, &shortcut.target) || !TakeField(bytes, &shortcut.workingDirectory) ||
      !TakeField(bytes, &shortcut.arguments) || !bytes.empty())
    return std::nullopt;
  return shortcut;
}

std::string UpToZero(const std::string& text) { return text.substr(0, text.find('\0')); }

class MemoryShellLink : public ShellLink {
 public:
  explicit MemoryShellLink(MemoryFileSystem& files) : files_(files) {}

  // After a failed load the object holds no shortcut at all, so that nothing of an earlier
  // file can be read from it or saved into another one.
  bool Load(const std::string& path) override {
    const std::optional<std::string> bytes = files_.ReadFile(path);
    const std::optional<MemoryShortcut> loaded = bytes ? DecodeShortcut(*bytes) : std::nullopt;
    holdsShortcut_ = loaded.has_value();
    fields_ = loaded.value_or(MemoryShortcut{});
    return holdsShortcut_;
  }
  bool GetPath(std::string* out) override { return Get(fields_.target, out); }
  bool GetWorkingDirectory(std::string* out) override { return Get(fields_.workingDirectory, out); }
  bool GetArguments(std::string* out) override { return Get(fields_.arguments, out); }
  bool SetPath(const std::string& value) override {
    std::string target = UpToZero(value);
    if (target.size() >= 2 && target.front() == '"' && target.back() == '"')
      target = target.substr(1, target.size() - 2);
    return Set(target, &fields_.target);
  }
  bool SetWorkingDirectory(const std::string& value) override {
    return Set(UpToZero(value), &fields_.workingDirectory);
  }
  bool SetArguments(const std::string& value) override { return Set(UpToZero(value), &fields_.arguments); }
  bool Save(const std::string& path) override {
    files_.SpendWrite();
    return holdsShortcut_ && files_.StoreFile(path, EncodeShortcut(fields_));
  }

 private:
  bool Get(const std::string& field, std::string* out) const {
    *out = holdsShortcut_ ? Cut(field, kFieldBuffer - 1) : std::string();
    return holdsShortcut_;
  }
  bool Set(const std::string& value, std::string* field) {
    if (holdsShortcut_) *field = value;
    return holdsShortcut_;
  }

  MemoryFileSystem& files_;
  MemoryShortcut fields_;
  bool holdsShortcut_ = true;  // a new object is an empty shortcut
};

}  // namespace

void WriteShortcut(MemoryFileSystem& files, const std::string& path, const MemoryShortcut& shortcut,
                   std::uint32_t attributes) {
  files.WriteFile(path, EncodeShortcut(shortcut), attributes);
}

std::optional<MemoryShortcut> ReadShortcut(const MemoryFileSystem& files, const std::string& path) {
  const std::optional<std::string> bytes = files.ReadFile(path);
  return bytes ? DecodeShortcut(*bytes) : std::nullopt;
}

std::unique_ptr<ShellLink> MemoryShellLinkFactory::Create() {
  if (failCreate_) return nullptr;
  return std::make_unique<MemoryShellLink>(files_);
}

}  // namespace zeb
