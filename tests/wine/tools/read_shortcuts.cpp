// Prints the three fields of shortcut files as the shell's shortcut object reports them,
// read the way zeb reads them (target path with the UNC-priority flag, 512-byte buffers).
//
//   read_shortcuts <shortcut file>...
//
// One line per file: path, target path, working directory, arguments, separated by tabs;
// a file that does not load prints its path and "<not loaded>". Exit code 0 when every file
// loaded, 1 otherwise, 2 without COM.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <string>

namespace {

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() {
    if (p_ != nullptr) p_->Release();
  }
  T** Out() { return &p_; }
  T* operator->() const { return p_; }

 private:
  T* p_ = nullptr;
};

class ComApartment {
 public:
  ComApartment() : ok_(SUCCEEDED(CoInitialize(nullptr))) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (ok_) CoUninitialize();
  }
  bool ok() const { return ok_; }

 private:
  bool ok_;
};

std::wstring Wide(const std::string& text) {
  const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring out(n > 0 ? n : 1, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &out[0], n);
  out.resize(out.size() - 1);
  return out;
}

// A fresh object per file, so that a file that fails to load cannot show the fields of
// the one before.
bool PrintFields(const std::string& path) {
  ComPtr<IShellLinkA> link;
  ComPtr<IPersistFile> file;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(link.Out()))) ||
      FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out()))) ||
      FAILED(file->Load(Wide(path).c_str(), STGM_READ))) {
    std::printf("%s\t<not loaded>\n", path.c_str());
    return false;
  }
  char target[512] = {};
  char directory[512] = {};
  char arguments[512] = {};
  WIN32_FIND_DATAA found;
  if (FAILED(link->GetPath(target, sizeof target, &found, SLGP_UNCPRIORITY))) target[0] = '\0';
  if (FAILED(link->GetWorkingDirectory(directory, sizeof directory))) directory[0] = '\0';
  if (FAILED(link->GetArguments(arguments, sizeof arguments))) arguments[0] = '\0';
  std::printf("%s\t%s\t%s\t%s\n", path.c_str(), target, directory, arguments);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  ComApartment com;
  if (!com.ok()) {
    std::fprintf(stderr, "CoInitialize failed\n");
    return 2;
  }
  bool allLoaded = true;
  for (int i = 1; i < argc; ++i) allLoaded = PrintFields(argv[i]) && allLoaded;
  return allLoaded ? 0 : 1;
}
