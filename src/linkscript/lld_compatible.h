#pragma once
// The forms of script text that -lld-compatible writes where the default
// script's text is one that GNU ld accepts but lld (19 and newer) does not:
// expressions without a unary plus, and the input sections that the linkers
// make themselves, placed beside the program's initialised data.

#include <string>
#include <string_view>

namespace vozo {

// `expression` without its unary plus signs: "+0x100" is "0x100",
// "(4 * +2)" is "(4 * 2)". A "+" is unary where no operand precedes it: at
// the start, after "(", ",", "?", ":" or another operator. Quoted text is
// left as it is.
std::string withoutUnaryPlus(std::string_view expression);

// The input sections that the linkers make or the C runtime brings empty
// (the offset tables of indirect calls, the transactional-memory clone
// table) for the output section `sectionName` when it takes its default
// input sections: an input-section list for ".data", else empty. The offset
// table ".got" has a statement of its own (offset_table_section.h).
std::string_view linkerMadeInputSections(std::string_view sectionName);

}  // namespace vozo
