#include "xml/arena.h"

#include <cstdint>
#include <new>
#include <string>

#include "expr/h_exception.h"
#include "platform/page_memory.h"

namespace vozo {

namespace {

// Where the arena's blocks come from. Small blocks come from the global
// heap. Large ones (documents of a megabyte and more) come straight from the
// system (platform/page_memory.h), aligned to 2 MiB and marked as candidates
// for transparent huge pages: a document is filled front to back in one go,
// and with 4 KiB pages the first touch of every page (one fault each) costs
// more than the parse itself. Where huge pages are unavailable the hint is
// ignored and the block is an ordinary mapping.
class LargeBlockResource final : public std::pmr::memory_resource {
 public:
  static constexpr size_t kHugePage = size_t{2} << 20;
  static constexpr size_t kPage = 4096;
  // Blocks from this size on are mapped here, from kLargeBlock on as huge
  // page candidates.
  static constexpr size_t kMediumBlock = 64 * 1024;
  static constexpr size_t kLargeBlock = kHugePage / 2;

 private:
  void* do_allocate(size_t bytes, size_t alignment) override {
    if (bytes < kMediumBlock || alignment > kPage) {
      return std::pmr::new_delete_resource()->allocate(bytes, alignment);
    }
    if (bytes < kLargeBlock) {
      // Mapped with all its pages at once: the arena fills it, and one
      // request is cheaper than a fault at the first touch of every page.
      void* block = platform::allocatePopulatedBlock(bytes);
      if (!block) throw std::bad_alloc();
      return block;
    }
    void* block = platform::allocateHugePageBlock(bytes);
    if (!block) throw std::bad_alloc();
    return block;
  }

  void do_deallocate(void* block, size_t bytes, size_t alignment) override {
    if (bytes < kMediumBlock || alignment > kPage) {
      std::pmr::new_delete_resource()->deallocate(block, bytes, alignment);
      return;
    }
    if (bytes < kLargeBlock) {
      platform::freePopulatedBlock(block, bytes);
      return;
    }
    platform::freeHugePageBlock(block, bytes);
  }

  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
    return this == &other;
  }
};

}  // namespace

void* Arena::BoundedSource::do_allocate(size_t bytes, size_t alignment) {
  if (bytes > kMaxBytes - taken_) {
    throw HException("an input document needs more than " +
                            std::to_string(kMaxBytes >> 20) +
                            " MiB of memory, the limit for one document");
  }
  void* block = upstream_->allocate(bytes, alignment);
  taken_ += bytes;
  return block;
}

void Arena::BoundedSource::do_deallocate(void* block, size_t bytes, size_t alignment) {
  upstream_->deallocate(block, bytes, alignment);
  taken_ -= bytes;
}

std::pmr::memory_resource* Arena::blockSource() {
  static LargeBlockResource resource;
  return &resource;
}

}  // namespace vozo
