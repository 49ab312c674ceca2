#include "expr/operator_expressions.h"

#include "expr/expression_parser.h"

namespace vozo {

namespace {

template <class Node>
const Expression* cloneUnary(const UnaryExpression& node) {
  ExpressionParser& parser = node.parser();
  const Expression* operand = node.operand().clone();
  if (operand == nullptr) return nullptr;
  return &parser.arena().make<Node>(parser, *operand);
}

}  // namespace

Outcome<ExpressionValue> NegateExpression::combine(std::span<ExpressionValue> values) const {
  return negate(values[0]);
}

const Expression* NegateExpression::clone() const {
  return cloneUnary<NegateExpression>(*this);
}

Outcome<ExpressionValue> BitNotExpression::combine(std::span<ExpressionValue> values) const {
  return bitNot(values[0]);
}

const Expression* BitNotExpression::clone() const {
  return cloneUnary<BitNotExpression>(*this);
}

Outcome<ExpressionValue> LogicalNotExpression::combine(std::span<ExpressionValue> values) const {
  return logicalNot(values[0]);
}

const Expression* LogicalNotExpression::clone() const {
  return cloneUnary<LogicalNotExpression>(*this);
}

Outcome<ExpressionValue> AddressofExpression::combine(std::span<ExpressionValue>) const {
  return parser().addressOf(operand());
}

const Expression* AddressofExpression::clone() const {
  return cloneUnary<AddressofExpression>(*this);
}

Outcome<ExpressionValue> DereferenceExpression::combine(std::span<ExpressionValue> values) const {
  return parser().dereference(values[0]);
}

const Expression* DereferenceExpression::clone() const {
  return cloneUnary<DereferenceExpression>(*this);
}

Outcome<ExpressionValue> AssignExpression::combine(std::span<ExpressionValue>) const {
  return parser().assign(left(), right());
}

}  // namespace vozo
