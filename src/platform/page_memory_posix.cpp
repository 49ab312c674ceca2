#include "platform/page_memory.h"

#include <sys/mman.h>

#include <cstdint>

namespace vozo::platform {
namespace {

constexpr size_t kHugePage = size_t{2} << 20;

size_t mappedSize(size_t bytes) {
  return (bytes + kHugePage - 1) & ~(kHugePage - 1);
}

}  // namespace

void* allocatePopulatedBlock(size_t bytes) {
  void* mapped = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  return mapped == MAP_FAILED ? nullptr : mapped;
}

void freePopulatedBlock(void* block, size_t bytes) {
  ::munmap(block, bytes);
}

void* allocateHugePageBlock(size_t bytes) {
  const size_t size = mappedSize(bytes);
  // Over-map by one huge page, then trim to an aligned range.
  void* mapped =
      ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<uintptr_t>(mapped);
  const uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
  if (aligned > start) ::munmap(mapped, aligned - start);
  const size_t tail = (start + size + kHugePage) - (aligned + size);
  if (tail > 0) ::munmap(reinterpret_cast<void*>(aligned + size), tail);
  // The kernel backs a huge page as a whole at its first touch, so the
  // one that holds the end of the block is a candidate only when the
  // block fills at least half of it: at most 1 MiB per block is never used.
  size_t huge = bytes & ~(kHugePage - 1);
  if (bytes - huge >= kHugePage / 2) huge += kHugePage;
  if (huge > 0) ::madvise(reinterpret_cast<void*>(aligned), huge, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
}

void freeHugePageBlock(void* block, size_t bytes) {
  ::munmap(block, mappedSize(bytes));
}

}  // namespace vozo::platform
