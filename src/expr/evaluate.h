#pragma once
// Entry points of the expression evaluator: text in, a number or a condition
// out. `ok` is set to false first and to true only on success; on failure
// (an empty text, a text that does not parse or evaluate, a result of the
// wrong kind) the result is 0 / false. Only the bounds end the run, throwing
// HException naming the limit: a text longer than kMaxExpressionLength, and
// a text that takes the parser past its total
// (SimpleExpressionParser::kMaxTextPerParser). Real expressions are a few
// dozen bytes; the time and memory evaluation takes grow with the length.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "expr/simple_expression_parser.h"

namespace vozo {

inline constexpr size_t kMaxExpressionLength = size_t{64} << 10;

// Takes `bytes` from the expression text `parser` may still evaluate, as
// every evaluation of a text of that length does (register content left out
// of the tree counts its texts this way, unevaluated); throws the same
// HException when less is left.
void spendExpressionText(SimpleExpressionParser& parser, size_t bytes);

// Accepts Signed, Unsigned and Float results; returns the unsigned read-out
// (a Float gives its bit pattern).
uint64_t evaluateUnsigned(SimpleExpressionParser& parser, std::string_view text, bool& ok);

// Accepts Signed, Unsigned and Float results; returns the signed read-out.
int64_t evaluateSigned(SimpleExpressionParser& parser, std::string_view text, bool& ok);

// Accepts only a Boolean result: "1 == 1" is a condition, "1" is not.
bool evaluateCondition(SimpleExpressionParser& parser, std::string_view text, bool& ok);

// The value of `text` whatever its kind, or, when it does not evaluate, the
// evaluator's message ("" for an empty text); and the first token that the
// expression did not take, which the entry points above pass over in silence
// ("4K" is 4, leaving "K"). For callers that explain a value rather than use
// it.
struct Evaluation {
  std::optional<ExpressionValue> value;
  std::string message;
  std::string unparsed;
};
Evaluation evaluateText(SimpleExpressionParser& parser, std::string_view text);

}  // namespace vozo
