#pragma once
// The chains of sections that a GNU ld script lays out: per memory map
// segment, the section records in the order the writer links them, each
// continuing the one before it. The writer lays out these records; the input
// checks build the same chains to judge them as the writer will.

#include <cstdio>
#include <deque>
#include <vector>

#include "linkscript/section_record.h"
#include "memory/memory_map.h"

namespace vozo {

// Appends the records to `storage` (which keeps their addresses) and lists
// them in `records`: the memory map's own sections of each of
// `memoryMapSegments`, then the sections of the placement segments (last in
// the file first), each continuing the chain of the memory map segment its
// name matches. `progress` (null for none) gets a line per record.
void buildSectionChains(std::deque<SectionRecord>& storage, std::vector<SectionRecord*>& records,
                        const std::vector<MemoryMapElement*>& memoryMapSegments,
                        const MemoryMap& memoryMap, const MemoryMap* sectionPlacement,
                        std::FILE* progress);

}  // namespace vozo
