#pragma once
// Storage for everything one XML document holds: its nodes, all their
// strings (tag names, attribute names and values, texts) and the texts it
// parsed, which the parser works on in place so that most node strings are
// views into them.
//
// Allocation is a pointer bump in a monotonic buffer; nothing is ever freed
// one by one. The whole storage is released at once when the arena (that is,
// its document) is destroyed. Consequences for the node classes:
//   - Every object made with make() must be trivially destructible: no
//     destructor ever runs for it. make() checks this at compile time, so a
//     node class (or a subclass such as a memory map element) may only hold
//     plain values, pointers, string views into the arena and the like.
//   - Tearing down a tree costs nothing and needs no stack, however deep or
//     wide the tree is.
//   - "Deleting" a node means unlinking it from its parent; its memory comes
//     back when the document dies.
//   - Strings in the arena are never modified once a node holds them (the
//     parser only rewrites bytes it has not handed out yet), so any number
//     of nodes of the same document may share them.
//   - Blocks of 1 MiB and more are mapped as huge-page candidates
//     (arena.cpp); a document of megabytes is filled front to back in one
//     go, and touching it page by page would cost more than parsing it.
//   - One arena holds at most kMaxBytes. Asking for more throws
//     HException naming the limit, so that no input, however it is
//     built up (a huge file, many includes, loops that copy elements), can
//     make a document take the machine's memory.

#include <cstddef>
#include <cstring>
#include <memory_resource>
#include <new>
#include <string_view>
#include <type_traits>
#include <utility>

namespace vozo {

class Arena {
 public:
  static constexpr size_t kMaxBytes = size_t{512} << 20;

  Arena() : source_(blockSource()), resource_(kInitialSize, &source_) {}
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;

  // A copy of `text` in the arena. An empty text needs no storage.
  std::string_view copy(std::string_view text) {
    if (text.empty()) return std::string_view("", 0);
    char* storage = allocateChars(text.size());
    std::memcpy(storage, text.data(), text.size());
    return {storage, text.size()};
  }

  // Constructs a T in the arena. T is never destroyed (see above).
  template <class T, class... A>
  T* make(A&&... args) {
    static_assert(std::is_trivially_destructible_v<T>,
                  "arena objects are released without running destructors");
    void* storage = resource_.allocate(sizeof(T), alignof(T));
    return ::new (storage) T(std::forward<A>(args)...);
  }

  // Uninitialised storage for `count` objects of a trivial type.
  template <class T>
  T* allocateArray(size_t count) {
    static_assert(std::is_trivially_destructible_v<T> && std::is_trivially_copyable_v<T>);
    return static_cast<T*>(resource_.allocate(sizeof(T) * count, alignof(T)));
  }

  // Uninitialised bytes.
  char* allocateChars(size_t count) { return static_cast<char*>(resource_.allocate(count, 1)); }

 private:
  // Where the buffer's blocks come from (see arena.cpp).
  static std::pmr::memory_resource* blockSource();

  // Passes block requests on and keeps their total within kMaxBytes.
  class BoundedSource final : public std::pmr::memory_resource {
   public:
    explicit BoundedSource(std::pmr::memory_resource* upstream) : upstream_(upstream) {}

   private:
    void* do_allocate(size_t bytes, size_t alignment) override;
    void do_deallocate(void* block, size_t bytes, size_t alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
      return this == &other;
    }
    std::pmr::memory_resource* upstream_;
    size_t taken_ = 0;
  };

  static constexpr size_t kInitialSize = 4096;
  BoundedSource source_;
  std::pmr::monotonic_buffer_resource resource_;
};

}  // namespace vozo
