#pragma once
// The element and attribute names that the memory map and section placement
// files use, for telling a misspelt name from a known one.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "memory/memory_map_element.h"

namespace vozo {

// Every element tag the two files may hold after preprocessing: the memory
// description elements and the preprocessor's directives (a directive that
// could not be carried out stays in the tree; its own message explains it).
std::span<const std::string_view> knownElementTags();
bool isDirectiveTag(std::string_view tag);

// A short list of names, looked up for every attribute of every element of
// a register map. The lists are at most a few dozen names, commonest first,
// so a scan that rejects on length is cheaper than hashing.
class NameTable {
 public:
  constexpr explicit NameTable(std::span<const std::string_view> names) : names_(names) {}
  // The position of `name` in the list, or names().size().
  size_t find(std::string_view name) const;
  std::span<const std::string_view> names() const { return names_; }

 private:
  std::span<const std::string_view> names_;
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
