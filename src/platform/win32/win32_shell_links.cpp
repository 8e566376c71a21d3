#include "platform/win32/win32_shell_links.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "platform/win32/com.h"

namespace zeb {
namespace {

std::wstring ToWide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length);
  wide.resize(static_cast<std::size_t>(length) - 1);
  return wide;
}

class Win32ShellLink : public ShellLink {
 public:
  Win32ShellLink(ComPtr<IShellLinkA> link, ComPtr<IPersistFile> file)
      : link_(std::move(link)), file_(std::move(file)) {}

  // The shell object keeps the fields of the last good file when a load fails; we refuse
  // to hand them out (or save them elsewhere) until a load succeeds again.
  bool Load(const std::string& path) override {
    holdsShortcut_ = SUCCEEDED(file_->Load(ToWide(path).c_str(), STGM_READWRITE));
    return holdsShortcut_;
  }
  bool GetPath(std::string* out) override {
    return ReadField(out, [this](char* buffer, int size) {
      WIN32_FIND_DATAA unused{};
      return link_->GetPath(buffer, size, &unused, SLGP_UNCPRIORITY);
    });
  }
  bool GetWorkingDirectory(std::string* out) override {
    return ReadField(out, [this](char* buffer, int size) { return link_->GetWorkingDirectory(buffer, size); });
  }
  bool GetArguments(std::string* out) override {
    return ReadField(out, [this](char* buffer, int size) { return link_->GetArguments(buffer, size); });
  }
  bool SetPath(const std::string& value) override {
    return holdsShortcut_ && SUCCEEDED(link_->SetPath(value.c_str()));
  }
  bool SetWorkingDirectory(const std::string& value) override {
    return holdsShortcut_ && SUCCEEDED(link_->SetWorkingDirectory(value.c_str()));
  }
  bool SetArguments(const std::string& value) override {
    return holdsShortcut_ && SUCCEEDED(link_->SetArguments(value.c_str()));
  }
  bool Save(const std::string& path) override {
    return holdsShortcut_ && SUCCEEDED(file_->Save(ToWide(path).c_str(), FALSE));
  }

 private:
  template <typename Call>
  bool ReadField(std::string* out, Call call) {
    out->clear();
    if (!holdsShortcut_) return false;
    char buffer[kFieldBuffer] = {};
    const HRESULT result = call(buffer, static_cast<int>(kFieldBuffer));
    buffer[kFieldBuffer - 1] = '\0';  // Wine fills a full buffer without the closing zero
    if (FAILED(result)) return false;
    *out = buffer;
    return true;
  }

  ComPtr<IShellLinkA> link_;
  ComPtr<IPersistFile> file_;
  bool holdsShortcut_ = true;  // a new object is an empty shortcut
};

}  // namespace

std::unique_ptr<ShellLink> Win32ShellLinkFactory::Create() {
  EnsureComOnThisThread();
  ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.Out())))
    return nullptr;
  ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.Out()))) return nullptr;
  return std::make_unique<Win32ShellLink>(std::move(link), std::move(file));
}

}  // namespace zeb
