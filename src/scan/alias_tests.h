#pragma once
// The Registry walk's tests for directory names that denote Alias objects: tree paths in value
// names and data, values named after the tree, service and printer entries, the name values,
// printer connection keys and keys named after directory objects. Each proposes the aliased
// object's name in the form it found.
#include <functional>
#include <string>
#include <string_view>

#include "scan/scan_context.h"

namespace zeb {

class RegistryAliasTests {
 public:
  // The markers built from the tree name are made once per walk.
  explicit RegistryAliasTests(ScanContext& context);

  // Every value, whatever its type.
  void ValueNameTest(RegKey rootKey, const std::string& keyPath, std::string_view name);
  // Every text value; the per-value key tests follow the data tests of the same value.
  void ValueDataTests(RegKey rootKey, const std::string& keyPath, std::string_view name,
                      std::string_view data);
  void PerValueKeyTests(RegKey rootKey, const std::string& keyPath, std::string_view name,
                        std::string_view data);
  // Once per key after its values. readDirectoryContext gives the key's "DirectoryContext"
  // as text (empty when missing or not text); it is asked only for a tree-named key.
  void KeyNameTests(RegKey rootKey, const std::string& keyPath,
                    const std::function<std::string()>& readDirectoryContext);

 private:
  bool Resolve(const std::string& fullName, std::string* target);
  void Propose(RegKey rootKey, std::uint8_t subType, const std::string& keyPath,
               std::string_view oldText, const std::string& newText);
  bool IsTreeNamedKey(const std::string& keyPath) const;
  void PrinterConnectionKeyTest(RegKey rootKey, const std::string& keyPath);
  void UnderTreeNamedKeyTest(RegKey rootKey, const std::string& keyPath, std::string_view name,
                             std::string_view data);
  void ObjectNamedKeyTest(RegKey rootKey, const std::string& keyPath);
  void EscapedPrinterKeyTest(RegKey rootKey, const std::string& keyPath);
  void TreeNamedKeyContextTest(RegKey rootKey, const std::string& keyPath,
                               const std::function<std::string()>& readDirectoryContext);

  ScanContext& context_;
  const std::string tree_;            // T as the tree name writes it
  const std::string treePathPrefix_;  // "\\" + T
  const std::string paddedTree_;      // T upper-cased, "_" up to 32 characters
  const std::string printerConnectionMarker_;  // ",," + T + ","
  const std::string escapedPrinterMarker_;     // "././" + T + "./.."
  const std::string objectKeySuffix_;          // "." + T
};

}  // namespace zeb
