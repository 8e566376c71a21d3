#include "support/sample_paths.h"

namespace zeb::testing {

std::string SourceTreePath(const std::string& relative) {
  std::string path = std::string(ZEB_SOURCE_DIR) + "/" + relative;
#ifdef _WIN32
  // Wine maps the Linux root to drive Z:.
  for (char& c : path)
    if (c == '/') c = '\\';
  path.insert(0, "Z:");
#endif
  return path;
}

std::string SampleDirectoryFile() { return SourceTreePath("samples/acme/directory.ldif"); }

}  // namespace zeb::testing
