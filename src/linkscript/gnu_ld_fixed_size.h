#pragma once
// Sections placed at the end of their segment: the fixed sizes of the
// sections of a chain, and the marking of the section that ends the chain at
// the segment end.

#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "linkscript/section_record.h"

namespace vozo {

// The fixed size of a section from its `size` text: a symbol name from
// `symbols` stands for its value; an optional K/k (1024) or M/m (1048576)
// suffix multiplies; the number is unsigned 32-bit C notation ("0x" hex,
// leading "0" octal, else decimal). Blanks around the number and before the
// suffix are ignored. The product wraps at 32 bits. None when the text is
// not such a number.
std::optional<uint32_t> parseFixedSize(std::string_view sizeText,
                                       const std::map<std::string, std::string>& symbols);

// Sets `placeFromSegmentEnd` and `segmentEndOffset` on the section of each
// chain that is to be placed from the segment end; warns on `warnings` when
// a later section of the chain has no fixed size.
void markPlacedFromSegmentEnd(const std::vector<SectionRecord*>& records,
                              const std::map<std::string, std::string>& symbols,
                              std::FILE* warnings);

}  // namespace vozo
