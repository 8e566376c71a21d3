#pragma once
// A dotted name as a leaf and the context that holds it.
#include <string>

namespace zeb {

struct LeafAndContext {
  std::string leaf;     // the text before the first dot (all of it without one)
  std::string context;  // the text after the first dot (empty without one)
};

inline LeafAndContext SplitLeaf(const std::string& dotted) {
  const std::size_t dot = dotted.find('.');
  if (dot == std::string::npos) return {dotted, std::string()};
  return {dotted.substr(0, dot), dotted.substr(dot + 1)};
}

}  // namespace zeb
