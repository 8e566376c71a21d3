#pragma once
// The client's context handles and what each holds (its flags and name context), as every
// directory client of ours keeps them.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "directory/directory_client.h"

namespace zeb {

class ContextTable {
 public:
  struct Context {
    std::uint32_t flags = 0;
    std::string nameContext;
  };

  // A new handle; 0 and kNotInitialised when the client is not initialised.
  std::int32_t Create(bool initialised, DirContextHandle* context);
  std::int32_t GetFlags(DirContextHandle context, int key, std::uint32_t* flags);
  std::int32_t SetFlags(DirContextHandle context, std::uint32_t flags);
  // A name context over 256 characters is refused.
  std::int32_t SetName(DirContextHandle context, const std::string& nameContext);
  // The context, or null with `*result` set to kUnknownContext.
  const Context* Find(DirContextHandle context, std::int32_t* result) const;
  void Free(DirContextHandle context);

  const std::vector<DirContextHandle>& Freed() const { return freed_; }

 private:
  std::map<DirContextHandle, Context> contexts_;
  DirContextHandle next_ = 1;
  std::vector<DirContextHandle> freed_;
};

}  // namespace zeb
