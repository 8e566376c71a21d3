#include "platform/memory/memory_append_file.h"

namespace zeb {
namespace {

class MemoryAppendFile : public AppendFile {
 public:
  MemoryAppendFile(MemoryAppendFiles& owner, std::string path)
      : owner_(owner), path_(std::move(path)) {}

  bool Append(std::string_view bytes) override {
    if (owner_.failAppend) return false;
    owner_.files[path_].appended.append(bytes);
    return true;
  }
  bool Flush() override {
    if (owner_.failFlush || owner_.flushes == owner_.flushLimit) return false;
    MemoryAppendFiles::Contents& contents = owner_.files[path_];
    contents.flushed = contents.appended;
    ++owner_.flushes;
    return true;
  }

 private:
  MemoryAppendFiles& owner_;
  std::string path_;
};

}  // namespace

std::unique_ptr<AppendFile> MemoryAppendFiles::Create(const std::string& path) {
  if (uncreatable.count(path)) return nullptr;
  files[path] = {};
  return std::make_unique<MemoryAppendFile>(*this, path);
}

}  // namespace zeb
