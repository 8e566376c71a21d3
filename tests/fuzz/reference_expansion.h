#pragma once
// The message file's expansion as first written: one pass over the whole line per percent
// sign, quadratic in the line. The fuzz target checks the linear one against it on short
// lines; the benchmark times the two side by side.
#include <string>

#include "app/message_file.h"

namespace zeb::reference {

inline std::string ExpandEnvironmentInLine(std::string line, SystemApi& system) {
  int valuesInserted = 0;
  for (std::size_t p = line.find('%'); p != std::string::npos; p = line.find('%')) {
    line.erase(p, 1);
    const std::size_t q = line.find('%', p);
    if (q == std::string::npos) continue;
    line.erase(q, 1);
    const std::string name = line.substr(p, q - p);
    if (name.empty() || valuesInserted == kMaxValuesPerLine) continue;
    const auto value = system.EnvironmentVariable(name);
    if (!value || value->empty()) continue;
    line.replace(p, name.size(), *value);
    ++valuesInserted;
  }
  return line;
}

}  // namespace zeb::reference
