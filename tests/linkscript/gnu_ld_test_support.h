#pragma once
// Helpers of the GNU ld script tests: documents from XML text and the
// section statements cut out of a generated script.

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "linkscript/gnu_ld_script.h"
#include "memory/memory_map.h"
#include "xml/macro_table.h"

namespace vozo::test {

class EmptyMacroTable : public MacroTable {
 public:
  const std::string* find(std::string_view) const override { return nullptr; }
  bool computedValue(std::string_view, std::string&) const override { return false; }
};

inline std::unique_ptr<MemoryMap> documentFromText(std::string_view xml) {
  static const EmptyMacroTable table;
  auto document = std::make_unique<MemoryMap>(table);
  loadText(*document, xml);
  return document;
}

// The script for a memory map (and optionally a placement file) as XML text,
// with the default switches.
inline std::string scriptFor(std::string_view memoryMapXml, std::string_view placementXml = {},
                             const std::map<std::string, std::string>& symbols = {}) {
  auto memoryMap = documentFromText(memoryMapXml);
  std::unique_ptr<MemoryMap> placement;
  if (!placementXml.empty()) placement = documentFromText(placementXml);
  const RunSettings run;
  return gnuLdScriptText(*memoryMap, placement.get(), {.symbols = symbols, .run = run});
}

// The section statements of a script: the text between the blank lines that
// end the symbol definitions and the closing brace.
inline std::string sectionText(const std::string& script) {
  size_t sections = script.find("SECTIONS\n{\n");
  size_t begin = script.find("\n\n\n", sections);
  if (sections == std::string::npos || begin == std::string::npos) return "<no sections>";
  begin += 3;
  size_t end = script.rfind("}\n\n");
  return script.substr(begin, end - begin);
}

}  // namespace vozo::test
