#pragma once
// The shell's shortcut object (ShellLink with IShellLinkA and IPersistFile).
#include <memory>
#include <string>

namespace zeb {

class ShellLink {
 public:
  static constexpr std::size_t kFieldBuffer = 512;  // fields are cut to 511 characters
  virtual ~ShellLink() = default;
  // IPersistFile::Load(path, STGM_READWRITE). False when the file cannot be loaded.
  virtual bool Load(const std::string& path) = 0;
  // IShellLinkA getters into 512-character buffers; GetPath with SLGP_UNCPRIORITY.
  virtual bool GetPath(std::string* out) = 0;
  virtual bool GetWorkingDirectory(std::string* out) = 0;
  virtual bool GetArguments(std::string* out) = 0;
  virtual bool SetPath(const std::string& value) = 0;
  virtual bool SetWorkingDirectory(const std::string& value) = 0;
  virtual bool SetArguments(const std::string& value) = 0;
  // IPersistFile::Save(path, remember = false).
  virtual bool Save(const std::string& path) = 0;
};

class ShellLinkFactory {
 public:
  virtual ~ShellLinkFactory() = default;
  // A new shortcut object, or null when it cannot be created.
  virtual std::unique_ptr<ShellLink> Create() = 0;
};

}  // namespace zeb
