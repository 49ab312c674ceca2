#pragma once
// What a memory description element describes, chosen from its tag name.

#include <cstdint>
#include <string_view>

namespace vozo {

enum class ElementKind : uint32_t {
  MemorySegment = 0,
  Register = 1,
  ProgramSection = 2,
  Root = 3,
  RegisterGroup = 4,
  BitField = 5,
  Enum = 6,
  Processor = 7,
  Vector = 8,
  Other = 9,  // any other tag, `Import` included
};

// Exact, case-sensitive comparison of the tag name.
ElementKind elementKindForTag(std::string_view tagName);

}  // namespace vozo
