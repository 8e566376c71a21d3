#pragma once
// Paths of the bundled samples in the form the running build can open: the source tree's
// own path natively, its Z: drive path under Wine.
#include <string>

namespace zeb::testing {

// `relative` uses "/" between names, e.g. "samples/acme/directory.ldif".
std::string SourceTreePath(const std::string& relative);
std::string SampleDirectoryFile();  // samples/acme/directory.ldif

}  // namespace zeb::testing
