#pragma once
// A registered window class, unregistered when it goes. Its windows must go first.
#include <windows.h>

#include <string>

namespace zeb::ui {

class WindowClass {
 public:
  WindowClass(const char* name, WNDPROC procedure, HBRUSH background, UINT style = 0);
  ~WindowClass();
  WindowClass(const WindowClass&) = delete;
  WindowClass& operator=(const WindowClass&) = delete;

  const char* name() const { return name_.c_str(); }

 private:
  std::string name_;
  ATOM atom_ = 0;
};

}  // namespace zeb::ui
