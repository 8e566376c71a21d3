#include "platform/win32/com.h"

#include <objbase.h>

namespace zeb {
namespace {

class ComApartment {
 public:
  // S_FALSE (already initialised) still needs its CoUninitialize; a thread that runs
  // another apartment model keeps it and owes nothing.
  ComApartment() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ComApartment() {
    if (initialised_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialised_;
};

}  // namespace

void EnsureComOnThisThread() { thread_local ComApartment apartment; }

}  // namespace zeb
