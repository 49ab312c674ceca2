#pragma once
// The two Unicode character classes of expression texts, on UTF-8 text: the
// space separators (category Zs) that separate tokens, and the decimal
// digits (category Nd) of integer and float literals. Both follow Unicode
// 14.0. An invalid UTF-8 sequence belongs to neither class.

#include <cstddef>
#include <string_view>

namespace vozo {

// True for the code points of category Zs: U+0020, U+00A0, U+1680,
// U+2000 to U+200A, U+202F, U+205F, U+3000.
bool isSpaceSeparator(char32_t codePoint);

// Length in bytes of the run of space separators at the start of `text`.
size_t spaceSeparatorRunLength(std::string_view text);

// True when the UTF-8 encoding of some space separator begins with `byte`.
bool mayStartSpaceSeparator(unsigned char byte);

// True for the code points of category Nd: "0" to "9" and the digits of
// other scripts, such as U+0660 to U+0669 (Arabic-Indic) and U+FF10 to
// U+FF19 (fullwidth).
bool isDecimalDigitCodePoint(char32_t codePoint);

// Length in bytes of the run of decimal digits at the start of `text`.
size_t decimalDigitRunLength(std::string_view text);

// True when the UTF-8 encoding of some decimal digit begins with `byte`.
bool mayStartDecimalDigit(unsigned char byte);

}  // namespace vozo
