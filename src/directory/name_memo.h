#pragma once
// One run's memory of the directory's answers: a name is looked up once, whatever asks for
// it again. Names are kept with their ASCII letters upper-cased, as every client compares
// them (directory_client.h): "Bob.Sales.Acme" and "BOB.SALES.ACME" are one name. A
// directory that changes during the run is not seen to change: a scan wants one answer
// per name, and one server round trip for it.
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/text.h"

namespace zeb {

class NameMemo {
 public:
  // FindEntry's answer for the full name, if it was asked before.
  std::optional<bool> Entry(std::string_view fullName) const {
    const auto it = entries_.find(UpperAscii(fullName));
    if (it == entries_.end()) return std::nullopt;
    return it->second;
  }
  void RememberEntry(std::string_view fullName, bool exists) {
    entries_.emplace(UpperAscii(fullName), exists);
  }

  // CanonicalizeName's client answer for the dotted name without its leading dots: the
  // canonical name, or an empty optional when a client step failed.
  struct Canonical {
    std::optional<std::string> name;
  };
  const Canonical* CanonicalOf(std::string_view dotted) const {
    const auto it = canonicals_.find(UpperAscii(dotted));
    return it == canonicals_.end() ? nullptr : &it->second;
  }
  void RememberCanonical(std::string_view dotted, std::optional<std::string> name) {
    canonicals_.emplace(UpperAscii(dotted), Canonical{std::move(name)});
  }

 private:
  std::unordered_map<std::string, bool> entries_;
  std::unordered_map<std::string, Canonical> canonicals_;
};

}  // namespace zeb
