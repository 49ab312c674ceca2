#pragma once
// Nodes of the unary and binary operators and of assignment.

#include "expr/expression.h"
#include "expr/value_operations.h"

namespace vozo {

class NegateExpression final : public UnaryExpression {
 public:
  using UnaryExpression::UnaryExpression;
  Outcome<ExpressionValue> combine(std::span<ExpressionValue> values) const override;
  const Expression* clone() const override;
  TextPiece textPiece(size_t index) const override { return prefixPiece(index, "-"); }
};

class BitNotExpression final : public UnaryExpression {
 public:
  using UnaryExpression::UnaryExpression;
  Outcome<ExpressionValue> combine(std::span<ExpressionValue> values) const override;
  const Expression* clone() const override;
  TextPiece textPiece(size_t index) const override { return prefixPiece(index, "~"); }
};

class LogicalNotExpression final : public UnaryExpression {
 public:
  using UnaryExpression::UnaryExpression;
  Outcome<ExpressionValue> combine(std::span<ExpressionValue> values) const override;
  const Expression* clone() const override;
  TextPiece textPiece(size_t index) const override { return prefixPiece(index, "!"); }
};

// "&operand": the address of an object, asked from the parser's hook; the
// operand itself is not evaluated.
class AddressofExpression final : public UnaryExpression {
 public:
  using UnaryExpression::UnaryExpression;
  std::span<const Expression* const> evaluatedOperands() const override { return {}; }
  Outcome<ExpressionValue> combine(std::span<ExpressionValue> values) const override;
  const Expression* clone() const override;
  TextPiece textPiece(size_t index) const override { return prefixPiece(index, "&"); }
};

// "*operand": dereference through the parser's hook.
class DereferenceExpression final : public UnaryExpression {
 public:
  using UnaryExpression::UnaryExpression;
  Outcome<ExpressionValue> combine(std::span<ExpressionValue> values) const override;
  const Expression* clone() const override;
  TextPiece textPiece(size_t index) const override { return prefixPiece(index, "*"); }
};

// The binary operators share one implementation; each has its own class.
template <BinaryOperator Op>
class BinaryOperatorExpression : public BinaryExpression {
 public:
  using BinaryExpression::BinaryExpression;
  Outcome<ExpressionValue> combine(std::span<ExpressionValue> values) const final {
    return applyBinary(Op, values[0], values[1]);
  }
  TextPiece textPiece(size_t index) const final {
    return infixPiece(index, binaryOperatorText(Op));
  }

 protected:
  ~BinaryOperatorExpression() = default;
};

#define VOZO_BINARY_EXPRESSION(Name, Op)                                   \
  class Name final : public BinaryOperatorExpression<BinaryOperator::Op> { \
   public:                                                                 \
    using BinaryOperatorExpression::BinaryOperatorExpression;              \
  };

VOZO_BINARY_EXPRESSION(PlusExpression, Plus)
VOZO_BINARY_EXPRESSION(MinusExpression, Minus)
VOZO_BINARY_EXPRESSION(MultiplyExpression, Multiply)
VOZO_BINARY_EXPRESSION(DivideExpression, Divide)
VOZO_BINARY_EXPRESSION(ModExpression, Mod)
VOZO_BINARY_EXPRESSION(LshiftExpression, Lshift)
VOZO_BINARY_EXPRESSION(RshiftExpression, Rshift)
VOZO_BINARY_EXPRESSION(LtExpression, Lt)
VOZO_BINARY_EXPRESSION(LeExpression, Le)
VOZO_BINARY_EXPRESSION(GtExpression, Gt)
VOZO_BINARY_EXPRESSION(GeExpression, Ge)
VOZO_BINARY_EXPRESSION(EqExpression, Eq)
VOZO_BINARY_EXPRESSION(NeExpression, Ne)
VOZO_BINARY_EXPRESSION(BitAndExpression, BitAnd)
VOZO_BINARY_EXPRESSION(BitXorExpression, BitXor)
VOZO_BINARY_EXPRESSION(BitOrExpression, BitOr)
VOZO_BINARY_EXPRESSION(LogicalAndExpression, LogicalAnd)
VOZO_BINARY_EXPRESSION(LogicalOrExpression, LogicalOr)

#undef VOZO_BINARY_EXPRESSION

// "target = value": both are handed to the parser's assignment hook, which
// resolves the target before it evaluates the value.
class AssignExpression final : public BinaryExpression {
 public:
  using BinaryExpression::BinaryExpression;
  std::span<const Expression* const> evaluatedOperands() const override { return {}; }
  Outcome<ExpressionValue> combine(std::span<ExpressionValue> values) const override;
  TextPiece textPiece(size_t index) const override { return infixPiece(index, "="); }
};

}  // namespace vozo
