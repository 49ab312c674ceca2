#pragma once
// The Unicode category "space separator" (Zs) on UTF-8 text.

#include <cstddef>
#include <string_view>

namespace vozo {

// True for the code points of category Zs: U+0020, U+00A0, U+1680,
// U+2000 to U+200A, U+202F, U+205F, U+3000.
bool isSpaceSeparator(char32_t codePoint);

// Length in bytes of the run of space separators at the start of `text`
// (well-formed UTF-8 only; an invalid sequence ends the run).
size_t spaceSeparatorRunLength(std::string_view text);

// True when the UTF-8 encoding of some space separator begins with `byte`.
bool mayStartSpaceSeparator(unsigned char byte);

}  // namespace vozo
