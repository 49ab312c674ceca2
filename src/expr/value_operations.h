#pragma once
// The arithmetic, logic and comparison rules of the evaluator, on values.
// The kind of a binary result is decided by the left operand; the left
// operand's payload is used as it stands (64 bits), the right operand through
// the read-out that matches the left's kind. All integer arithmetic wraps
// around modulo 2^64; no operation has undefined behaviour. A failure is the
// evaluator's message ("divide by zero"), returned as a value.

#include "expr/expression_value.h"
#include "expr/outcome.h"

namespace vozo {

enum class BinaryOperator : uint8_t {
  Plus,
  Minus,
  Multiply,
  Divide,
  Mod,
  Lshift,
  Rshift,
  Lt,
  Le,
  Gt,
  Ge,
  Eq,
  Ne,
  BitAnd,
  BitXor,
  BitOr,
  LogicalAnd,
  LogicalOr,
};

// The operator as written in an expression ("+", "<<", "&&", ...).
const char* binaryOperatorText(BinaryOperator op);

Outcome<ExpressionValue> applyBinary(BinaryOperator op, const ExpressionValue& left,
                                     const ExpressionValue& right);

// Unary "-": Signed and Boolean give Signed (a negated Boolean has byteSize
// 8), Unsigned stays Unsigned, Float stays Float.
Outcome<ExpressionValue> negate(const ExpressionValue& operand);
// Unary "~": Signed and Unsigned, all 64 bits inverted.
Outcome<ExpressionValue> bitNot(const ExpressionValue& operand);
// Unary "!": Boolean true for a zero Signed, Unsigned, Boolean or Float.
Outcome<ExpressionValue> logicalNot(const ExpressionValue& operand);

}  // namespace vozo
