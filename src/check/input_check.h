#pragma once
// The checks of the loaded documents behind -warnings and -strict.

#include "check/check_context.h"
#include "memory/memory_map.h"

namespace vozo {

// Checks the files, every element and the layout of the memory map and,
// when there is one (not null), the section placement document, adding
// what they find to context.findings (unsorted).
void checkDocuments(CheckContext& context, const MemoryMap& memoryMap,
                    const MemoryMap* sectionPlacement);

}  // namespace vozo
