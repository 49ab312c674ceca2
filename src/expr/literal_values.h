#pragma once
// Values of literal tokens.

#include <cstdint>
#include <string_view>

#include "expr/token_kind.h"

namespace vozo {

// TOKEN_INTEGER: C signed conversion with automatic base (a leading 0 means
// octal and reading stops at the first digit that does not fit, so "09" is
// 0; out of range saturates at INT64_MAX). TOKEN_HEXINTEGER: C unsigned
// conversion ("0x" alone is 0; out of range gives all ones). TOKEN_BININTEGER:
// the digits after "0b" in base 2 ("0b" alone is 0; out of range gives all
// ones). Suffix letters end the conversion. The result is the 64-bit pattern.
uint64_t integerLiteralValue(TokenKind kind, std::string_view text);

// TOKEN_FLOAT ("digits.digits"): the nearest double, as C strtod gives it in
// the "C" locale (too large: infinity; too small: 0).
double floatLiteralValue(std::string_view text);

}  // namespace vozo
