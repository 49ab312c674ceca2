#include "platform/page_memory.h"
#include "platform/windows_system.h"

namespace vozo::platform {

// Windows commits the pages at once and has no huge-page hint for ordinary
// processes: both kinds of block are plain committed memory.
void* allocatePopulatedBlock(size_t bytes) {
  return VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

void freePopulatedBlock(void* block, size_t) {
  VirtualFree(block, 0, MEM_RELEASE);
}

void* allocateHugePageBlock(size_t bytes) {
  return allocatePopulatedBlock(bytes);
}

void freeHugePageBlock(void* block, size_t bytes) {
  freePopulatedBlock(block, bytes);
}

}  // namespace vozo::platform
