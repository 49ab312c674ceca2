#include "expr/node_arena.h"

#include <cstdint>
#include <cstring>

namespace vozo {

namespace {

// Bytes to skip at `pointer` to reach `alignment` (a power of two).
size_t paddingFor(const std::byte* pointer, size_t alignment) {
  return (alignment - reinterpret_cast<uintptr_t>(pointer) % alignment) % alignment;
}

}  // namespace

void* NodeArena::allocate(size_t size, size_t alignment) {
  const size_t padding = paddingFor(cursor_, alignment);
  if (static_cast<size_t>(limit_ - cursor_) >= padding + size) {
    std::byte* start = cursor_ + padding;
    cursor_ = start + size;
    return start;
  }
  return allocateSlow(size, alignment);
}

void* NodeArena::allocateSlow(size_t size, size_t alignment) {
  const size_t needed = size + alignment;
  // Reuse the kept blocks in order; skip one that is too small for this
  // request (it stays for later expressions).
  while (nextBlock_ < blocks_.size() && blocks_[nextBlock_].size < needed) ++nextBlock_;
  if (nextBlock_ == blocks_.size()) {
    size_t blockSize = blocks_.empty() ? kFirstBlockSize : blocks_.back().size * 2;
    if (blockSize < needed) blockSize = needed;
    blocks_.push_back(Block{std::make_unique_for_overwrite<std::byte[]>(blockSize), blockSize});
  }
  Block& block = blocks_[nextBlock_++];
  cursor_ = block.storage.get();
  limit_ = cursor_ + block.size;
  std::byte* start = cursor_ + paddingFor(cursor_, alignment);
  cursor_ = start + size;
  return start;
}

std::string_view NodeArena::copyText(std::string_view text) {
  if (text.empty()) return {};
  auto* copy = static_cast<char*>(allocate(text.size(), 1));
  std::memcpy(copy, text.data(), text.size());
  return {copy, text.size()};
}

void NodeArena::reset() {
  cursor_ = inline_;
  limit_ = inline_ + kInlineSize;
  nextBlock_ = 0;
}

}  // namespace vozo
