// The name operations on any byte string: results within the 255-character cuts, and the
// round trips between the forms where the forms allow one (components without separators,
// types or zeros, short enough for the buffers).
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>
#include <vector>

#include "directory/names.h"
#include "fuzz/fuzz_check.h"
#include "platform/text.h"

namespace {

using zeb::kNameLimit;

void CheckAnyText(const std::string& text) {
  const int p = zeb::LastCharPos('\\', text);
  FUZZ_CHECK(p == 0 ? text.find('\\') == std::string::npos
                    : text[std::size_t(p) - 1] == '\\' &&
                          text.find('\\', std::size_t(p)) == std::string::npos);

  const std::string dotted = zeb::FullNameToDotted(text);
  FUZZ_CHECK(dotted.size() <= kNameLimit);
  FUZZ_CHECK(dotted.empty() || dotted.front() != '.');

  FUZZ_CHECK(zeb::StripNameType(text).size() <= std::max(kNameLimit, text.size()));
  if (text.find('=') != std::string::npos) FUZZ_CHECK(zeb::StripNameType(text).size() <= kNameLimit);

  const std::string stripped = zeb::StripTreePrefix(text);
  FUZZ_CHECK(stripped.size() <= text.size());
  FUZZ_CHECK(text.compare(text.size() - stripped.size(), std::string::npos, stripped) == 0);

  // Every component is at most 255 characters and sits behind its own backslash.
  const std::string path = zeb::DottedToPath(text);
  FUZZ_CHECK(text.empty() == path.empty());
  FUZZ_CHECK(path.empty() || path.front() == '\\');
  if (!text.empty() && text.front() != '.' && text.size() <= kNameLimit - 1 &&
      text.find('=') == std::string::npos) {
    const auto dots = std::count(text.begin(), text.end(), '.');
    const auto slashes = std::count(text.begin(), text.end(), '\\');
    FUZZ_CHECK(std::count(path.begin(), path.end(), '\\') == dots + 1 + slashes);
  }

  const int form = zeb::ClassifyName(text);
  FUZZ_CHECK(((form & zeb::nameform::kTypeful) != 0) + ((form & zeb::nameform::kTypeless) != 0) ==
             1);
  FUZZ_CHECK((form & (zeb::nameform::kPath | zeb::nameform::kDotted)) != 0);

  const std::string full = zeb::UncToFullName(text);
  FUZZ_CHECK(full.empty() == (text.compare(0, 2, "\\\\") != 0));
  if (!full.empty()) {
    FUZZ_CHECK(zeb::StartsWithIgnoreCase(full, "VRX:"));  // "VRX:" alone for "\\\\"
    FUZZ_CHECK(full.back() != '\\');
  }
  const std::string unc = zeb::FullNameToUnc(text);
  FUZZ_CHECK(zeb::StartsWithIgnoreCase(unc, "\\\\"));

  // The folder's name, whole when it is the first component.
  const std::string parent = zeb::ParentFolderName(text);
  FUZZ_CHECK(parent.size() <= text.size());
  if (p > 0) {
    const std::string folder = text.substr(0, std::size_t(p) - 1);
    const std::size_t q = folder.rfind('\\');
    if (q == std::string::npos)
      FUZZ_CHECK(parent == folder);
    else
      FUZZ_CHECK(parent == folder.substr(q + 1, kNameLimit));
  } else {
    FUZZ_CHECK(parent.empty());
  }

  const zeb::NameSplit split = zeb::SplitAtTree(text, "TREE");
  FUZZ_CHECK(split.rest.size() <= kNameLimit);
  FUZZ_CHECK(text.compare(0, split.objectPart.size(), split.objectPart) == 0);
  if (!split.rest.empty())
    FUZZ_CHECK(split.rest.front() == '\\' || split.rest.compare(0, 2, "./") == 0);
  if (text.size() <= kNameLimit) FUZZ_CHECK(split.objectPart + split.rest == text);
}

// Components that the forms can carry: no separators, no types, no zeros.
bool IsPlainComponent(const std::string& component) {
  return !component.empty() && component.find_first_of(std::string(".\\=\0", 4)) == std::string::npos;
}

void CheckRoundTrips(const std::vector<std::string>& rootFirst, const std::string& tree) {
  std::string dotted;
  std::string path;
  for (const std::string& component : rootFirst) {
    dotted = dotted.empty() ? component : component + "." + dotted;
    path += "\\" + component;
  }
  if (dotted.size() >= kNameLimit - 1) return;  // the buffers would cut it

  FUZZ_CHECK(zeb::DottedToPath(dotted) == path);
  FUZZ_CHECK(zeb::DottedToPath("." + dotted) == path);
  FUZZ_CHECK(zeb::FullNameToDotted("VRX:\\\\" + tree + path) == dotted);
  std::string typed;
  for (const std::string& component : rootFirst)
    typed = typed.empty() ? "OU=" + component : "OU=" + component + "." + typed;
  if (typed.size() < kNameLimit - 1) FUZZ_CHECK(zeb::DottedToPath(typed) == path);

  const std::string full = "VRX:\\\\" + tree + path;
  FUZZ_CHECK(zeb::FullNameToUnc(full) == "\\\\" + tree + "\\." + dotted);
  // UncToFullName reads at most 255 characters after the leading backslashes.
  if (tree.size() + 2 + dotted.size() > kNameLimit) return;
  FUZZ_CHECK(zeb::UncToFullName(zeb::FullNameToUnc(full)) == full);
  FUZZ_CHECK(zeb::FullNameToUnc(zeb::UncToFullName("\\\\" + tree + "\\." + dotted)) ==
             "\\\\" + tree + "\\." + dotted);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  CheckAnyText(text);

  // The same bytes as components: a tree name, then the components root first.
  FuzzedDataProvider input(data, size);
  std::string tree = input.ConsumeRandomLengthString(16);
  if (tree.empty() || tree.find_first_of(std::string("\\\0", 2)) != std::string::npos) tree = "T";
  std::vector<std::string> rootFirst;
  while (input.remaining_bytes() > 0 && rootFirst.size() < 40) {
    std::string component = input.ConsumeRandomLengthString(24);
    if (IsPlainComponent(component)) rootFirst.push_back(component);
  }
  if (!rootFirst.empty()) CheckRoundTrips(rootFirst, tree);
  return 0;
}
