#include "expr/operator_expressions.h"

#include "expr/expression_parser.h"

namespace vozo {

namespace {

template <class Node>
const Expression& cloneUnary(const UnaryExpression& node) {
  ExpressionParser& parser = node.parser();
  return parser.arena().make<Node>(parser, node.operand().clone());
}

}  // namespace

ExpressionValue NegateExpression::combine(std::span<ExpressionValue> values) const {
  return negate(values[0]);
}

const Expression& NegateExpression::clone() const {
  return cloneUnary<NegateExpression>(*this);
}

ExpressionValue BitNotExpression::combine(std::span<ExpressionValue> values) const {
  return bitNot(values[0]);
}

const Expression& BitNotExpression::clone() const {
  return cloneUnary<BitNotExpression>(*this);
}

ExpressionValue LogicalNotExpression::combine(std::span<ExpressionValue> values) const {
  return logicalNot(values[0]);
}

const Expression& LogicalNotExpression::clone() const {
  return cloneUnary<LogicalNotExpression>(*this);
}

ExpressionValue AddressofExpression::combine(std::span<ExpressionValue>) const {
  return parser().addressOf(operand());
}

const Expression& AddressofExpression::clone() const {
  return cloneUnary<AddressofExpression>(*this);
}

ExpressionValue DereferenceExpression::combine(std::span<ExpressionValue> values) const {
  return parser().dereference(values[0]);
}

const Expression& DereferenceExpression::clone() const {
  return cloneUnary<DereferenceExpression>(*this);
}

ExpressionValue AssignExpression::combine(std::span<ExpressionValue>) const {
  return parser().assign(left(), right());
}

}  // namespace vozo
