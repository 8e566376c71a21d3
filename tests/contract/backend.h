#pragma once
// The backend a contract test program runs against: the memory backend natively, the Win32
// backend under Wine. Each seam's accessors are defined in contract/memory_<seam>.cpp and
// contract/win32_<seam>.cpp; the same test sources run against both.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/file_bytes_api.h"
#include "platform/file_finder.h"
#include "platform/hive_api.h"
#include "platform/profile_api.h"
#include "platform/registry_api.h"
#include "platform/shell_link_api.h"
#include "platform/system_api.h"

namespace zeb::contract {

const char* BackendName();

RegistryApi& Registry();
HiveApi& Hives();  // over the same Registry and files

ProfileApi& Profiles();
FileFinder& Files();
ShellLinkFactory& ShellLinks();
SystemApi& System();
FileBytesApi& FileBytes();  // over the same files as Profiles() and ShellLinks()

// File helpers for the tests' own set-up, in Windows path form ("C:\...").
std::string NewFolder();  // a fresh empty folder, no trailing backslash
void MakeFolder(const std::string& path, std::uint32_t attributes = 0);
void WriteTestFile(const std::string& path, const std::string& bytes, std::uint32_t attributes = 0);
std::string ReadTestFile(const std::string& path);
bool TestFileExists(const std::string& path);
// Keeps the file open without sharing until the result goes, as a program that holds it does.
// On the memory backend the file stays unreadable for the rest of the run.
std::shared_ptr<void> HoldFileOpen(const std::string& path);

}  // namespace zeb::contract
