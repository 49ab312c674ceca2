#pragma once
// The element and attribute names that the memory map and section placement
// files use, for telling a misspelt name from a known one.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "memory/memory_map_element.h"

namespace vozo {

// Every element tag the two files may hold after preprocessing: the memory
// description elements and the preprocessor's directives (a directive that
// could not be carried out stays in the tree; its own message explains it).
std::span<const std::string_view> knownElementTags();
bool isDirectiveTag(std::string_view tag);

// A list of names with a lookup that costs a few steps whatever the list's
// length: it runs for every attribute of every element of a register map.
class NameTable {
 public:
  explicit NameTable(std::span<const std::string_view> names);
  // The position of `name` in the list, or names().size().
  size_t find(std::string_view name) const;
  std::span<const std::string_view> names() const { return names_; }

 private:
  static constexpr size_t kSlots = 128;
  static size_t slot(std::string_view name) {
    return (name.size() * 7 + static_cast<unsigned char>(name.front()) * 3 +
            static_cast<unsigned char>(name.back())) % kSlots;
  }
  std::span<const std::string_view> names_;
  // 1 + the position of the first name in a slot, and of the next name in
  // the same slot after each name; 0 ends a chain.
  std::array<uint8_t, kSlots> first_{};
  std::vector<uint8_t> next_;
};

// The attributes known for elements of `kind`; null when the kind's
// attributes are not checked (Processor and Vector elements carry
// attributes this tool does not read, and directives are checked by the
// preprocessor).
const NameTable* knownAttributes(ElementKind kind, std::string_view tag);
// Where `start` and `size` stand in the lists of segments, sections and the
// register kinds.
constexpr size_t kStartIndex = 1;
constexpr size_t kSizeIndex = 2;

// "segment", "section", "register group" ...; empty for other kinds.
std::string_view kindWord(ElementKind kind);

// "segment FLASH", "section .text", "register group UART0", "element <Foo>".
std::string describeElement(const MemoryMapElement& element);

}  // namespace vozo
