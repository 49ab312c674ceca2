#pragma once
// Shortcut for the most common expression texts: a bare decimal or hex
// literal such as "32", "0x40021000" or "+0x1C", and sums and products of
// such literals such as "16*1024*1024" or "0x20000000 + 0x1000000".

#include <optional>
#include <string_view>

#include "expr/expression_value.h"

namespace vozo {

// The value of `text` when it is an optional "+" followed by literals
// joined by "+", "-" or "*" (with single spaces allowed around an operator
// and at the end), nothing else. A literal is "0", a decimal literal of 1 to
// 18 digits without leading zero, or "0x"/"0X" and 1 to 16 hex digits (no
// suffix). Each such literal is a Signed value of byteSize 8, and the full
// parse works these operators on such values in wrapping 64-bit arithmetic,
// products first, so the value is what the full parse gives: a Signed value
// of byteSize 8. Any other text gives no value.
std::optional<ExpressionValue> evaluatePlainArithmetic(std::string_view text);

}  // namespace vozo
