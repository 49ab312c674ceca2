#pragma once
// Checks across elements: segments that overlap or repeat, placement
// segments that match nothing, sections placed twice, fixed starts outside
// their segment, fixed sizes that overfill it, segments of size 0 that hold
// sections, sections loaded into writable memory beside an image in
// read-only memory, place_from_segment_end that the script cannot honour,
// and run-in references.

#include "check/check_context.h"
#include "memory/memory_map.h"

namespace vozo {

// `sectionPlacement` is null when the run has no section placement file.
void checkLayout(CheckContext& context, const MemoryMap& memoryMap,
                 const MemoryMap* sectionPlacement);

}  // namespace vozo
