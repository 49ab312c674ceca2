#include "expr/name_expressions.h"

#include "expr/expression_parser.h"

namespace vozo {

Outcome<ExpressionValue> IdentifierExpression::combine(std::span<ExpressionValue>) const {
  return parser().lookupSymbol(name_);
}

const Expression* IdentifierExpression::clone() const {
  return &parser().arena().make<IdentifierExpression>(parser(), name_);
}

Outcome<ExpressionValue> ScopedIdentifierExpression::combine(std::span<ExpressionValue>) const {
  return parser().lookupScopedSymbol(parts_);
}

const Expression* ScopedIdentifierExpression::clone() const {
  return &parser().arena().make<ScopedIdentifierExpression>(parser(), parts_);
}

TextPiece ScopedIdentifierExpression::textPiece(size_t index) const {
  if (index % 2 == 1) return {"::"};
  return {parts_[index / 2]};
}

Outcome<ExpressionValue> RegisterExpression::combine(std::span<ExpressionValue>) const {
  return parser().readRegister(registerText_);
}

const Expression* RegisterExpression::clone() const {
  return &parser().arena().make<RegisterExpression>(parser(), registerText_);
}

}  // namespace vozo
