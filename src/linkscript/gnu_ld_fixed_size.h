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

// A section marked place_from_segment_end that stays in its normal place,
// because it or a section after it in its chain has no fixed size.
struct UnplacedAtSegmentEnd {
  SectionRecord* section;
  // The last section of the chain without a fixed size: `section` itself or
  // one after it.
  SectionRecord* unsized;
};

// Decides which marked section of each chain is placed from the segment end:
// the first marked section after which (itself included) every section of
// the chain has a fixed size. Sets `placeFromSegmentEnd` and
// `segmentEndOffset` on it and returns the marked sections that are not
// honoured, in record order of their chains and from the chain end back.
// When `warnings` is not null, a chain without any section placed from the
// end warns there about its marked section nearest the end, unless that is
// the unsized section itself.
std::vector<UnplacedAtSegmentEnd> markPlacedFromSegmentEnd(
    const std::vector<SectionRecord*>& records, const std::map<std::string, std::string>& symbols,
    std::FILE* warnings);

}  // namespace vozo
