#pragma once
// The element and attribute names that the memory map and section placement
// files use, for telling a misspelt name from a known one.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "memory/memory_map_element.h"
#include "xml/same_bytes.h"

namespace vozo {

// Every element tag the two files may hold after preprocessing: the memory
// description elements and the preprocessor's directives (a directive that
// could not be carried out stays in the tree; its own message explains it).
std::span<const std::string_view> knownElementTags();
bool isDirectiveTag(std::string_view tag);

// A short list of names (at most kMaxNames, each shorter than
// kMaxNameLength), looked up for every attribute of every element of a
// register map: the names are chained by length, so a lookup compares the
// one or two names of the same length and no other.
class NameTable {
 public:
  static constexpr size_t kMaxNames = 64;
  static constexpr size_t kMaxNameLength = 32;

  // The tables are constants, built at compile time. That a list keeps
  // within the bounds is an invariant of the source, not of any input: a
  // list that breaks them reaches the throw during constant evaluation and
  // fails to compile, so the logic_error is never thrown at run time.
  constexpr explicit NameTable(std::span<const std::string_view> names) : names_(names) {
    if (names.size() > kMaxNames) throw std::logic_error("too many names for a NameTable");
    // Chained from the back, so that each chain keeps the list's order.
    for (size_t index = names.size(); index-- > 0;) {
      if (names[index].empty() || names[index].size() >= kMaxNameLength) {
        throw std::logic_error("a NameTable name is empty or too long");
      }
      uint8_t& head = firstOfLength_[names[index].size()];
      nextOfLength_[index] = head;
      head = static_cast<uint8_t>(index + 1);
    }
  }
  // The position of `name` in the list, or names().size().
  size_t find(std::string_view name) const {
    if (name.empty() || name.size() >= kMaxNameLength) return names_.size();
    for (uint8_t entry = firstOfLength_[name.size()]; entry != 0;
         entry = nextOfLength_[entry - 1]) {
      if (sameBytes(names_[entry - 1].data(), name.data(), name.size())) return entry - 1;
    }
    return names_.size();
  }
  std::span<const std::string_view> names() const { return names_; }

 private:
  std::span<const std::string_view> names_;
  // 1 + the position of the first name of each length, and of the next name
  // of the same length after each name; 0 ends a chain.
  std::array<uint8_t, kMaxNameLength> firstOfLength_{};
  std::array<uint8_t, kMaxNames> nextOfLength_{};
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
