#pragma once
// Shortcut for the most common expression texts: a bare decimal or hex
// literal such as "32", "0x40021000" or "+0x1C".

#include <optional>
#include <string_view>

#include "expr/expression_value.h"

namespace vozo {

// The value of `text` when it is an optional "+" followed by "0", by a
// decimal literal of 1 to 18 digits without leading zero, or by "0x"/"0X"
// and 1 to 16 hex digits, with nothing else (no spaces, no suffix). Such
// literals cannot overflow, so the value is what the full parse gives: a
// Signed value of byteSize 8. Any other text gives no value.
std::optional<ExpressionValue> evaluatePlainLiteral(std::string_view text);

}  // namespace vozo
