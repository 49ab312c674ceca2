#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vozo::size {

// Names and paths come from the ELF file and the command line as bytes. These
// make them safe for the outputs: text that is not well-formed UTF-8, or that
// holds control characters, must not reach a terminal raw, and cannot appear
// in XML or JSON as it is.

// Length of the well-formed UTF-8 character that `text` begins with; 0 when
// its first byte begins none (a stray continuation byte, an overlong form, a
// surrogate, a value past U+10FFFF or a sequence cut short).
size_t utf8CharacterLength(std::string_view text);

// `text` as the table, the error messages and the picture show it: every
// byte of a control character (U+0000-U+001F, U+007F-U+009F), of U+FFFE or
// U+FFFF (which XML cannot hold) or of malformed UTF-8 is written as `\xNN`;
// all other text is kept as it is.
std::string printableText(std::string_view text);

}  // namespace vozo::size
