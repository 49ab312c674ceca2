#include "memory/queries.h"

#include <algorithm>

#include "xml/split_list.h"

namespace vozo {

// Children that are not elements (CDATA sections) are passed over in both
// walks; the element children after them are still visited.

MemoryMapElement* findElement(const MemoryMap& document, ElementKind kind, std::string_view name) {
  XMLElement* root = document.root();
  for (XMLNode* node = root; node != nullptr; node = nextInDocumentOrder(node, root)) {
    if (!node->isElement()) continue;
    auto* element = static_cast<MemoryMapElement*>(node);
    if (element->kind() == kind && element->name() == name) return element;
  }
  return nullptr;
}

std::vector<MemoryMapElement*> collectElements(MemoryMapElement* start, ElementKind kind,
                                               bool atFront) {
  std::vector<MemoryMapElement*> found;
  if (start == nullptr) return found;
  XMLNode* node = start;
  for (;;) {
    if (node->isElement()) {
      auto* element = static_cast<MemoryMapElement*>(node);
      if (element->kind() == kind) {
        found.push_back(element);
      } else if (XMLNode* child = element->firstChild()) {
        node = child;
        continue;
      }
    }
    while (node != start && node->nextSibling() == nullptr) node = node->parent();
    if (node == start) break;
    node = node->nextSibling();
  }
  if (atFront) std::reverse(found.begin(), found.end());
  return found;
}

SegmentIndex::SegmentIndex(const MemoryMap& document) {
  XMLElement* root = document.root();
  for (XMLNode* node = root; node != nullptr; node = nextInDocumentOrder(node, root)) {
    if (!node->isElement()) continue;
    auto* element = static_cast<MemoryMapElement*>(node);
    if (element->kind() == ElementKind::MemorySegment)
      byName_.try_emplace(element->name(), element);
  }
}

MemoryMapElement* SegmentIndex::find(std::string_view name) const {
  auto found = byName_.find(name);
  return found == byName_.end() ? nullptr : found->second;
}

MemoryMapElement* matchPlacementSegment(const SegmentIndex& memoryMapSegments,
                                        const MemoryMapElement& placementSegment) {
  for (std::string_view piece : splitPlain(placementSegment.name(), ';', false)) {
    if (MemoryMapElement* segment = memoryMapSegments.find(piece)) return segment;
  }
  return nullptr;
}

}  // namespace vozo
