#pragma once
// What the scan benchmarks run a scanner with: the scan run's view without windows, and a
// directory that finds nothing. Windows only.
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "directory/directory_client.h"
#include "platform/view.h"

namespace zeb {

// The scan run's view without windows: messages are still taken from the queue once per key,
// as the program's window does; status lines and the list cost nothing.
class QueueOnlyView : public ProgressView, public CheckList, public MessageBoxes {
 public:
  void SetStatus(StatusLine, const std::string&) override { ++statusPaints; }
  std::string StatusText(StatusLine) override { return {}; }
  void ProcessMessages() override {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  void RepaintList() override {}
  void SetCursor(Cursor) override {}
  Cursor CurrentCursor() override { return Cursor::kDefault; }
  void AppendLine(const std::string&, bool) override { ++lines_; }
  std::size_t LineCount() override { return lines_; }
  bool IsTicked(std::size_t) override { return true; }
  bool IsEnabled() override { return true; }
  void ShowMessage(const std::string&) override {}
  void ShowError(const std::string&) override {}
  bool ConfirmInformation(const std::string&) override { return true; }
  bool ConfirmWarning(const std::string&) override { return true; }

  long statusPaints = 0;

 private:
  std::size_t lines_ = 0;
};

// A directory in which no name is found: "Dereference Aliases" then costs the walk and the
// text tests, plus a lookup for each candidate that passes them.
class EmptyDirectory : public DirectoryClient {
 public:
  long lookups = 0;
  std::string DefaultFullName() override { return {}; }
  bool FindTree(const std::string&, std::string*) override { return false; }
  void SetFullName(const std::string&) override {}
  std::string FullName() override { return {}; }
  std::string GetTreeName(const std::string&) override { return "ACME_TREE"; }
  bool FindEntry(const std::string&) override {
    ++lookups;
    return false;
  }
  std::int32_t DXCallsInit() override { return 0; }
  std::int32_t DXVRCreateContextHandle(DirContextHandle* context) override {
    *context = 1;
    return 0;
  }
  std::int32_t DXVRGetContext(DirContextHandle, int, std::uint32_t* flags) override {
    *flags = kTypelessNamesFlag;
    return 0;
  }
  std::int32_t DXVRSetContextFlags(DirContextHandle, std::uint32_t) override { return 0; }
  std::int32_t DXVRSetContextName(DirContextHandle, const std::string&) override { return 0; }
  std::int32_t ReadObjectName(DirContextHandle, const std::string&, std::string*) override {
    return -601;
  }
  std::int32_t DXVRCanonicalizeName(DirContextHandle, const std::string&, std::string*) override {
    return -601;
  }
  std::uint16_t GetClientKind() override { return 4; }
  ClientVersion GetClientVersion() override { return {5, 2, 0, 0}; }
  void FreeContext(DirContextHandle) override {}
  void FreeUnicodeTables() override {}
  bool ListAliases(std::vector<DirectoryAlias>* aliases) override {
    aliases->clear();
    return true;
  }
};

}  // namespace zeb
