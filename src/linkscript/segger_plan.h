#pragma once
// What the `-segger` script describes: the segments that get a region,
// in the order they are written, and one section record per section that
// gets a block.

#include <vector>

#include "linkscript/run_settings.h"
#include "linkscript/section_record.h"
#include "memory/memory_map.h"

namespace vozo {

struct SeggerPlan {
  // The segments whose regions are written, in writing order.
  std::vector<MemoryMapElement*> segments;
  // One record per section, in creation order. Only `element`, `segment`
  // and `name` are used; records are not chained (`previous` is null).
  std::vector<SectionRecord> records;
};

// Chooses the segments and builds the records.
//
// Normally the segments are the memory map's (last in the document first);
// each gets its own sections, then the sections of the placement segments
// (same reverse order) whose ";"-separated name first matches it.
//
// When at least one placement segment has both a non-empty `start` and
// `size`, the placement segments define the regions themselves: all of them
// (including those without start or size) become the segments, and the
// memory map's sections are left out. The placement sections are chosen and
// announced as usual: only the segments whose name matches a memory map
// segment contribute, the others are skipped silently. Each record's
// `segment` is then the placement segment it comes from (not the matched
// memory map segment), so its block and placement entry are written under
// the region it was written in. Placing the sections by the memory map
// segment instead would leave every region of such a script empty.
//
// With `settings.verbose`, announces each record on `settings.progress` as it
// is made.
SeggerPlan planSeggerScript(const MemoryMap& memoryMap, const MemoryMap* sectionPlacement,
                            const RunSettings& settings);

}  // namespace vozo
