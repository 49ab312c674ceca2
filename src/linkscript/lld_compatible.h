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
// input sections: an input-section list for ".data", else empty. ".got" is
// not among them: lld takes the output section that holds it for one to be
// made read-only after relocation, and fails a link where such sections are
// not next to each other (.dtors, .fast, .data); a firmware whose code needs
// no offset table has none, and one that has a table gets the unplaced
// section error.
std::string_view linkerMadeInputSections(std::string_view sectionName);

}  // namespace vozo
