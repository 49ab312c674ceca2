#include "memory/memory_map.h"

namespace vozo {

MemoryMap::MemoryMap(const MacroTable& macroTable) : XMLPP2(macroTable, false) {}

XMLElement* MemoryMap::createElement(std::string_view tagName) {
  return arena().make<MemoryMapElement>(*this, tagName, readOnly);
}

void MemoryMap::warning(std::string_view text) {
  warningAt(text, nullptr);
}

void MemoryMap::warningAt(std::string_view text, const XMLNode* where) {
  Warning& warning = warnings_.emplace_back();
  warning.text = text;
  if (where) {
    warning.file = sourceFilePath(where->sourceFile());
    warning.line = where->line();
  }
}

MemoryMapElement* MemoryMap::rootElement() const {
  return static_cast<MemoryMapElement*>(root());
}

}  // namespace vozo
