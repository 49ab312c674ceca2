#pragma once
// Checks of each element of a document on its own: known tag and
// attributes, value forms, references to undefined macros, names and values
// that the script can hold, and a run-in section without a load image.

#include "check/check_context.h"
#include "memory/memory_map.h"

namespace vozo {

// `isPlacement` tells the section placement document from the memory map:
// there a segment's name is a list of memory map segments to match, not a
// name written into the script (unless the segment defines its own region).
void checkElement(CheckContext& context, const MemoryMap& document,
                  const MemoryMapElement& element, bool isPlacement);

// checkElement for every element of `document`, in document order.
void checkElements(CheckContext& context, const MemoryMap& document, bool isPlacement);

}  // namespace vozo
