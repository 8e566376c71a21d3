#pragma once
// The shell's shortcut object: ShellLink through COM, with IShellLinkA and IPersistFile.
#include "platform/shell_link_api.h"

namespace zeb {

class Win32ShellLinkFactory : public ShellLinkFactory {
 public:
  std::unique_ptr<ShellLink> Create() override;
};

}  // namespace zeb
