#include "expr/constant_expressions.h"

#include <string>

#include "expr/expression_parser.h"

namespace vozo {

Outcome<ExpressionValue> IntegerConstantExpression::combine(std::span<ExpressionValue>) const {
  return ExpressionValue::signedInteger(value_, 8);
}

const Expression* IntegerConstantExpression::clone() const {
  return &parser().arena().make<IntegerConstantExpression>(parser(), sourceText(), value_);
}

Outcome<ExpressionValue> FloatConstantExpression::combine(std::span<ExpressionValue>) const {
  return ExpressionValue::floating(value_, 8);
}

const Expression* FloatConstantExpression::clone() const {
  return &parser().arena().make<FloatConstantExpression>(parser(), sourceText(), value_);
}

Outcome<ExpressionValue> StringConstantExpression::combine(std::span<ExpressionValue>) const {
  return ExpressionValue::string(std::string(contents_));
}

const Expression* StringConstantExpression::clone() const {
  return &parser().arena().make<StringConstantExpression>(parser(), sourceText(), contents_);
}

}  // namespace vozo
