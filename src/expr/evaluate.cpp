#include "expr/evaluate.h"

#include <optional>
#include <stdexcept>
#include <string>

#include "expr/parser_exception.h"

namespace vozo {

namespace {

// Counts a failed evaluation against the parser's bound.
void countFailure(SimpleExpressionParser& parser, std::string_view text) {
  if (!parser.noteFailure(text)) {
    throw std::length_error("more than " +
                            std::to_string(SimpleExpressionParser::kMaxFailuresPerParser) +
                            " expressions of one document do not evaluate, the limit for one "
                            "document");
  }
}

std::optional<ExpressionValue> tryEvaluate(SimpleExpressionParser& parser, std::string_view text) {
  if (text.empty()) return std::nullopt;
  if (text.size() > kMaxExpressionLength) {
    throw std::length_error("an expression is longer than " +
                            std::to_string(kMaxExpressionLength >> 10) +
                            " KiB, the limit for one expression");
  }
  spendExpressionText(parser, text.size());
  if (parser.failedBefore(text)) return std::nullopt;
  try {
    return parser.evaluate(text);
  } catch (const ParserException&) {
    countFailure(parser, text);
    return std::nullopt;
  }
}

bool isNumber(const ExpressionValue& value) {
  return value.valueKind == ValueKind::Signed || value.valueKind == ValueKind::Unsigned ||
         value.valueKind == ValueKind::Float;
}

}  // namespace

void spendExpressionText(SimpleExpressionParser& parser, size_t bytes) {
  if (!parser.spendText(bytes)) {
    throw std::length_error("the expressions of one document are longer than " +
                            std::to_string(SimpleExpressionParser::kMaxTextPerParser >> 20) +
                            " MiB in total, the limit for one document");
  }
}

bool evaluatesWithoutSpending(SimpleExpressionParser& parser, std::string_view text) {
  if (text.empty() || text.size() > kMaxExpressionLength || parser.failedBefore(text)) {
    return false;
  }
  try {
    parser.evaluate(text);
    return true;
  } catch (...) {
    // Whatever stops this evaluation stops the real one too, which the
    // caller leaves to the ordinary path.
    return false;
  }
}

uint64_t evaluateUnsigned(SimpleExpressionParser& parser, std::string_view text, bool& ok) {
  ok = false;
  const std::optional<ExpressionValue> value = tryEvaluate(parser, text);
  if (!value || !isNumber(*value)) return 0;
  ok = true;
  return value->unsignedValue();
}

int64_t evaluateSigned(SimpleExpressionParser& parser, std::string_view text, bool& ok) {
  ok = false;
  const std::optional<ExpressionValue> value = tryEvaluate(parser, text);
  if (!value || !isNumber(*value)) return 0;
  ok = true;
  return value->signedValue();
}

namespace {

// Parses and evaluates a non-empty `text` into `result`; the parser's
// failures leave as ParserException.
void parseAndEvaluate(SimpleExpressionParser& parser, std::string_view text, Evaluation& result) {
  const Expression& expression = parser.parse(text);
  result.unparsed = parser.unparsedToken();
  result.value = expression.evaluate();
}

}  // namespace

std::optional<Evaluation> evaluateTextWithoutCounting(SimpleExpressionParser& parser,
                                                      std::string_view text) {
  Evaluation result;
  if (text.empty()) return result;
  try {
    parseAndEvaluate(parser, text, result);
  } catch (...) {
    return std::nullopt;
  }
  return result;
}

Evaluation evaluateText(SimpleExpressionParser& parser, std::string_view text) {
  Evaluation result;
  if (text.empty()) return result;
  try {
    parseAndEvaluate(parser, text, result);
  } catch (const ParserException& exception) {
    countFailure(parser, text);
    result.message = exception.message();
  }
  return result;
}

bool evaluateCondition(SimpleExpressionParser& parser, std::string_view text, bool& ok) {
  ok = false;
  const std::optional<ExpressionValue> value = tryEvaluate(parser, text);
  if (!value || value->valueKind != ValueKind::Boolean) return false;
  ok = true;
  return value->payload != 0;
}

}  // namespace vozo
