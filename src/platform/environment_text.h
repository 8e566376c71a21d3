#pragma once
// %NAME% in Registry paths (REG_EXPAND_SZ), expanded as ExpandEnvironmentStringsA does.
#include <functional>
#include <optional>
#include <string>

namespace zeb {

using VariableLookup = std::function<std::optional<std::string>(const std::string& name)>;

// Each %NAME% whose variable is defined is replaced by its value, once (a value's own percent
// signs stay as they are); an undefined one, and a percent sign without a partner, stays as
// it stands, and the text goes on after it. Unlike the message file's expansion, which drops what it cannot expand, a path
// keeps it, so that it names no folder rather than another one.
std::string ExpandVariables(const std::string& text, const VariableLookup& variable);

}  // namespace zeb
