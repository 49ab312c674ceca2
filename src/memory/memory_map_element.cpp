#include "memory/memory_map_element.h"

#include "expr/c_number.h"

namespace vozo {

bool equalsIgnoringCase(std::string_view text, std::string_view lowerWord) {
  if (text.size() != lowerWord.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lowerWord[i]) return false;
  }
  return true;
}

MemoryMapElement::MemoryMapElement(XMLDocument& document, std::string_view tagName, bool readOnly)
    : XMLElement(document, tagName), kind_(elementKindForTag(tagName)), readOnly_(readOnly) {}

std::string_view MemoryMapElement::name() const {
  return attribute("name").value_or(std::string_view());
}

bool MemoryMapElement::isLoaded() const {
  auto value = attribute("load");
  return value && equalsIgnoringCase(*value, "yes");
}

bool MemoryMapElement::isKept() const {
  auto value = attribute("keep");
  return value && equalsIgnoringCase(*value, "yes");
}

bool MemoryMapElement::isReadOnlyAccess() const {
  auto value = attribute("access");
  return value && *value == "ReadOnly";
}

bool MemoryMapElement::placeFromSegmentEnd() const {
  auto value = attribute("place_from_segment_end");
  return value && equalsIgnoringCase(*value, "yes");
}

uint32_t MemoryMapElement::alignment() const {
  auto value = attribute("alignment");
  return value ? static_cast<uint32_t>(parseCUnsigned(*value)) : 0;
}

bool MemoryMapElement::hasNonEmpty(std::string_view attributeName) const {
  auto value = attribute(attributeName);
  return value && !value->empty();
}

}  // namespace vozo
