#pragma once
// Large blocks of memory straight from the system, for the document arena.

#include <cstddef>

namespace vozo::platform {

// A block of `bytes` with all its pages in place, for one that is filled at
// once. Null when the system has no memory for it.
void* allocatePopulatedBlock(size_t bytes);
void freePopulatedBlock(void* block, size_t bytes);

// A block of `bytes` aligned to a huge page, whose pages the system may back
// with huge pages where it has them. Null when the system has no memory for
// it.
void* allocateHugePageBlock(size_t bytes);
void freeHugePageBlock(void* block, size_t bytes);

}  // namespace vozo::platform
