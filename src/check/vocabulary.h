#pragma once
// The element and attribute names that the memory map and section placement
// files use, for telling a misspelt name from a known one.

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

// The attributes known for elements of `kind`; none when the kind's
// attributes are not checked (Processor and Vector elements carry
// attributes this tool does not read, and directives are checked by the
// preprocessor).
std::optional<std::span<const std::string_view>> knownAttributes(ElementKind kind,
                                                                  std::string_view tag);

// "segment", "section", "register group" ...; empty for other kinds.
std::string_view kindWord(ElementKind kind);

// "segment FLASH", "section .text", "register group UART0", "element <Foo>".
std::string describeElement(const MemoryMapElement& element);

}  // namespace vozo
