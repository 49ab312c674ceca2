#pragma once
// Storage for the nodes of one parsed expression. Nodes are placed one after
// the other in a buffer inside the arena and, when that is full, in heap
// blocks that are kept for the following expressions; reset() makes all of it
// free again at once. Only trivially destructible objects go in, so nothing
// has to be destroyed one by one.

#include <cstddef>
#include <memory>
#include <new>
#include <span>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace vozo {

class NodeArena {
 public:
  NodeArena() = default;
  NodeArena(const NodeArena&) = delete;
  NodeArena& operator=(const NodeArena&) = delete;

  template <class T, class... Args>
  T& make(Args&&... args) {
    static_assert(std::is_trivially_destructible_v<T>, "arena objects are never destroyed");
    return *new (allocate(sizeof(T), alignof(T))) T(std::forward<Args>(args)...);
  }

  // A copy of `items` in the arena.
  template <class T>
  std::span<T> copyArray(std::span<const T> items) {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);
    if (items.empty()) return {};
    T* first = static_cast<T*>(allocate(sizeof(T) * items.size(), alignof(T)));
    for (size_t i = 0; i < items.size(); ++i) new (first + i) T(items[i]);
    return {first, items.size()};
  }

  // A copy of `text` in the arena.
  std::string_view copyText(std::string_view text);

  // Forgets every object; the storage is reused by the next allocations.
  void reset();

 private:
  void* allocate(size_t size, size_t alignment);
  void* allocateSlow(size_t size, size_t alignment);

  struct Block {
    std::unique_ptr<std::byte[]> storage;
    size_t size = 0;
  };

  static constexpr size_t kInlineSize = 1024;
  static constexpr size_t kFirstBlockSize = 8192;

  alignas(std::max_align_t) std::byte inline_[kInlineSize];
  std::byte* cursor_ = inline_;
  std::byte* limit_ = inline_ + kInlineSize;
  std::vector<Block> blocks_;
  size_t nextBlock_ = 0;  // index of the first block not yet in use
};

}  // namespace vozo
