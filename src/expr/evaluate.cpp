#include "expr/evaluate.h"

#include <optional>
#include <string>

#include "expr/h_exception.h"
namespace vozo {

namespace {

std::optional<ExpressionValue> tryEvaluate(SimpleExpressionParser& parser, std::string_view text) {
  if (text.empty()) return std::nullopt;
  if (text.size() > kMaxExpressionLength) {
    throw HException("an expression is longer than " + std::to_string(kMaxExpressionLength >> 10) +
                     " KiB, the limit for one expression");
  }
  spendExpressionText(parser, text.size());
  Outcome<ExpressionValue> value = parser.evaluate(text);
  if (!value) return std::nullopt;
  return std::move(*value);
}

bool isNumber(const ExpressionValue& value) {
  return value.valueKind == ValueKind::Signed || value.valueKind == ValueKind::Unsigned ||
         value.valueKind == ValueKind::Float;
}

}  // namespace

void spendExpressionText(SimpleExpressionParser& parser, size_t bytes) {
  if (!parser.spendText(bytes)) {
    throw HException("the expressions of one document are longer than " +
                     std::to_string(SimpleExpressionParser::kMaxTextPerParser >> 20) +
                     " MiB in total, the limit for one document");
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

// Parses and evaluates a non-empty `text` into `result`: its value, or the
// failure's message.
void parseAndEvaluate(SimpleExpressionParser& parser, std::string_view text, Evaluation& result) {
  Outcome<const Expression*> tree = parser.parse(text);
  if (!tree) {
    result.message = std::move(tree.failure().message);
    return;
  }
  result.unparsed = parser.unparsedToken();
  Outcome<ExpressionValue> value = (*tree)->evaluate();
  if (!value) {
    result.message = std::move(value.failure().message);
    return;
  }
  result.value = std::move(*value);
}

}  // namespace

Evaluation evaluateText(SimpleExpressionParser& parser, std::string_view text) {
  Evaluation result;
  if (text.empty()) return result;
  parseAndEvaluate(parser, text, result);
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
