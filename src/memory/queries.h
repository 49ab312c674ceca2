#pragma once
// Finding segments and sections in a memory description document.
//
// The walks visit the element children of each element in order. Children
// that are not elements (CDATA sections) are passed over and the walk goes
// on with the elements after them. A document without a root has no
// elements: nothing is found and no segments are listed. No recursion, so
// any nesting depth is fine.

#include <string_view>
#include <unordered_map>
#include <vector>

#include "memory/memory_map.h"

namespace vozo {

// The first element in document order (pre-order) of the given kind whose
// `name` attribute equals `name` exactly; null when there is none or the
// document has no root.
MemoryMapElement* findElement(const MemoryMap& document, ElementKind kind, std::string_view name);

// Pre-order walk from `start` (which may be null): an element of the given
// kind is collected and its children are not visited; any other element's
// children are visited in order. With `atFront` each element found goes
// before those found earlier, so the list comes out in reverse document
// order.
std::vector<MemoryMapElement*> collectElements(MemoryMapElement* start, ElementKind kind,
                                               bool atFront);

// The MemorySegment elements of a document by name: for each name the first
// in document order, as findElement finds it, in constant time. Built once
// for all the placement segments of a run, which would otherwise each walk
// the whole memory map (minutes for big inputs).
class SegmentIndex {
 public:
  explicit SegmentIndex(const MemoryMap& document);
  MemoryMapElement* find(std::string_view name) const;

 private:
  std::unordered_map<std::string_view, MemoryMapElement*> byName_;
};

// The memory map segment that receives the sections of a placement segment:
// the first ";"-separated piece of its name (empty pieces dropped, no
// trimming) that names a memory map segment. Null when none does.
MemoryMapElement* matchPlacementSegment(const SegmentIndex& memoryMapSegments,
                                        const MemoryMapElement& placementSegment);

}  // namespace vozo
