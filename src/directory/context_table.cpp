#include "directory/context_table.h"

#include "directory/ldif_result.h"

namespace zeb {

namespace {
constexpr std::size_t kMaxNameContext = 256;
}  // namespace

std::int32_t ContextTable::Create(bool initialised, DirContextHandle* context) {
  *context = 0;
  if (!initialised) return dirresult::kNotInitialised;
  *context = next_++;
  contexts_[*context] = Context{};
  return dirresult::kOk;
}

const ContextTable::Context* ContextTable::Find(DirContextHandle context,
                                                std::int32_t* result) const {
  const auto it = contexts_.find(context);
  if (it == contexts_.end()) {
    *result = dirresult::kUnknownContext;
    return nullptr;
  }
  return &it->second;
}

std::int32_t ContextTable::GetFlags(DirContextHandle context, int key, std::uint32_t* flags) {
  std::int32_t result = dirresult::kOk;
  const Context* state = Find(context, &result);
  if (!state) return result;
  if (key != contextkey::kFlags) return dirresult::kUnknownContextKey;
  *flags = state->flags;
  return dirresult::kOk;
}

std::int32_t ContextTable::SetFlags(DirContextHandle context, std::uint32_t flags) {
  const auto it = contexts_.find(context);
  if (it == contexts_.end()) return dirresult::kUnknownContext;
  it->second.flags = flags;
  return dirresult::kOk;
}

std::int32_t ContextTable::SetName(DirContextHandle context, const std::string& nameContext) {
  const auto it = contexts_.find(context);
  if (it == contexts_.end()) return dirresult::kUnknownContext;
  if (nameContext.size() > kMaxNameContext) return dirresult::kNameTooLong;
  it->second.nameContext = nameContext;
  return dirresult::kOk;
}

void ContextTable::Free(DirContextHandle context) {
  freed_.push_back(context);
  contexts_.erase(context);
}

}  // namespace zeb
