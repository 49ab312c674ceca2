#include "memory/memory_map.h"

namespace vozo {

MemoryMap::MemoryMap(const MacroTable& macroTable) : XMLPP2(macroTable, false) {}

XMLElement* MemoryMap::createElement(std::string_view tagName) {
  return arena().make<MemoryMapElement>(*this, tagName, readOnly);
}

void MemoryMap::warning(std::string_view text) {
  warnings_.emplace_back(text);
}

MemoryMapElement* MemoryMap::rootElement() const {
  return static_cast<MemoryMapElement*>(root());
}

}  // namespace vozo
