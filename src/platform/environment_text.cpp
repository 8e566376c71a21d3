#include "platform/environment_text.h"

namespace zeb {

std::string ExpandVariables(const std::string& text, const VariableLookup& variable) {
  std::string result;
  std::size_t p = 0;
  while (p < text.size()) {
    const std::size_t open = text.find('%', p);
    const std::size_t close = open == std::string::npos ? open : text.find('%', open + 1);
    if (close == std::string::npos) break;
    result.append(text, p, open - p);
    const std::optional<std::string> value =
        close > open + 1 ? variable(text.substr(open + 1, close - open - 1)) : std::nullopt;
    if (value)
      result += *value;
    else
      result.append(text, open, close - open + 1);
    p = close + 1;
  }
  return result.append(text, p, std::string::npos);
}

}  // namespace zeb
