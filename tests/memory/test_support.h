#pragma once
// Helpers of the memory description tests: a small macro table and
// documents loaded from XML text.

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "memory/memory_map.h"
#include "xml/macro_table.h"

namespace vozo::test {

// A macro table with fixed entries and no computed values.
class FakeMacroTable : public MacroTable {
 public:
  FakeMacroTable() { values_["HostOS"] = "linux"; }

  const std::string* find(std::string_view name) const override {
    auto it = values_.find(name);
    return it == values_.end() ? nullptr : &it->second;
  }
  bool computedValue(std::string_view, std::string&) const override { return false; }

 private:
  std::map<std::string, std::string, std::less<>> values_;
};

inline const MacroTable& fakeMacroTable() {
  static const FakeMacroTable table;
  return table;
}

// A document loaded from `xml` with loadText.
inline std::unique_ptr<MemoryMap> documentFromText(std::string_view xml) {
  auto document = std::make_unique<MemoryMap>(fakeMacroTable());
  loadText(*document, xml);
  return document;
}

}  // namespace vozo::test
