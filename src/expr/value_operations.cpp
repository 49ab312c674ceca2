#include "expr/value_operations.h"

#include <compare>
#include <string_view>

namespace vozo {

namespace {

constexpr const char* kUnsupportedNumeric = "unsupported binary numeric operation";
constexpr const char* kUnsupportedComparison = "unsupported comparison operation";
constexpr const char* kUnsupportedUnary = "unsupported unary num operation";

Failure fail(const char* message) {
  return Failure{message};
}

// A fresh value of the kind and size of `model` holding `bits`.
ExpressionValue likeWith(const ExpressionValue& model, uint64_t bits) {
  ExpressionValue v;
  v.valueKind = model.valueKind;
  v.byteSize = model.byteSize;
  v.payload = bits;
  return v;
}

bool isInteger(ValueKind kind) {
  return kind == ValueKind::Signed || kind == ValueKind::Unsigned;
}

bool isNumeric(ValueKind kind) {
  return isInteger(kind) || kind == ValueKind::Boolean || kind == ValueKind::Float;
}

// Division needs a numeric divisor that is not zero: why `right` is not
// one, or null.
const char* divisorProblem(const ExpressionValue& right) {
  constexpr const char* kDivideByZero = "divide by zero";
  switch (right.valueKind) {
    case ValueKind::Signed:
      return right.signedValue() == 0 ? kDivideByZero : nullptr;
    case ValueKind::Unsigned:
      return right.unsignedValue() == 0 ? kDivideByZero : nullptr;
    case ValueKind::Boolean:
      return right.payload == 0 ? kDivideByZero : nullptr;
    case ValueKind::Float:
      return right.floatPayload() == 0.0 ? kDivideByZero : nullptr;
    default:
      return kUnsupportedNumeric;
  }
}

ExpressionValue floatArithmetic(BinaryOperator op, double a, double b, uint32_t byteSize) {
  switch (op) {
    case BinaryOperator::Plus:
      return ExpressionValue::floating(a + b, byteSize);
    case BinaryOperator::Minus:
      return ExpressionValue::floating(a - b, byteSize);
    case BinaryOperator::Multiply:
      return ExpressionValue::floating(a * b, byteSize);
    default:
      return ExpressionValue::floating(a / b, byteSize);
  }
}

// + - * / (the divisor has been checked).
ExpressionValue arithmetic(BinaryOperator op, const ExpressionValue& left,
                           const ExpressionValue& right) {
  if (left.valueKind == ValueKind::Float || right.valueKind == ValueKind::Float) {
    const double a = left.valueKind == ValueKind::Float ? left.floatPayload() : left.floatValue();
    return floatArithmetic(op, a, right.floatValue(), left.byteSize);
  }
  const uint64_t a = left.payload;
  switch (left.valueKind) {
    case ValueKind::Signed: {
      const int64_t b = right.signedValue();
      const uint64_t ub = static_cast<uint64_t>(b);
      uint64_t r;
      switch (op) {
        case BinaryOperator::Plus:
          r = a + ub;
          break;
        case BinaryOperator::Minus:
          r = a - ub;
          break;
        case BinaryOperator::Multiply:
          r = a * ub;  // the low 64 bits of the product are the same signed or unsigned
          break;
        default:
          // Dividing by -1 is negation, which also covers INT64_MIN / -1.
          r = b == -1 ? 0 - a : static_cast<uint64_t>(static_cast<int64_t>(a) / b);
          break;
      }
      return ExpressionValue::signedInteger(r, left.byteSize);
    }
    case ValueKind::Unsigned: {
      const uint64_t b = right.unsignedValue();
      uint64_t r;
      switch (op) {
        case BinaryOperator::Plus:
          r = a + b;
          break;
        case BinaryOperator::Minus:
          r = a - b;
          break;
        case BinaryOperator::Multiply:
          r = a * b;
          break;
        default:
          r = a / b;
          break;
      }
      return ExpressionValue::unsignedInteger(r, left.byteSize);
    }
    default: {  // Boolean: + is or, - is exclusive or, * is and, / gives the left
      const bool l = left.payload != 0;
      const bool r = right.isNonZero();
      switch (op) {
        case BinaryOperator::Plus:
          return ExpressionValue::boolean(l || r);
        case BinaryOperator::Minus:
          return ExpressionValue::boolean(l != r);
        case BinaryOperator::Multiply:
          return ExpressionValue::boolean(l && r);
        default:
          return ExpressionValue::boolean(l);
      }
    }
  }
}

Outcome<ExpressionValue> remainder(const ExpressionValue& left, const ExpressionValue& right) {
  switch (left.valueKind) {
    case ValueKind::Signed: {
      const int64_t b = right.signedValue();
      if (b == 0) return left;
      if (b == -1) return ExpressionValue::signedInteger(0, left.byteSize);
      const int64_t r = static_cast<int64_t>(left.payload) % b;
      return ExpressionValue::signedInteger(static_cast<uint64_t>(r), left.byteSize);
    }
    case ValueKind::Unsigned: {
      const uint64_t b = right.unsignedValue();
      if (b == 0) return left;
      return ExpressionValue::unsignedInteger(left.payload % b, left.byteSize);
    }
    case ValueKind::Boolean:
      return ExpressionValue::boolean(false);
    default:
      return fail(kUnsupportedNumeric);
  }
}

Outcome<ExpressionValue> shift(BinaryOperator op, const ExpressionValue& left,
                               const ExpressionValue& right) {
  if (!isInteger(left.valueKind)) return fail("can only shift numeric values");
  if (right.valueKind != ValueKind::Signed) return fail("integer shift value expected");
  const unsigned count = static_cast<unsigned>(static_cast<uint64_t>(right.signedValue()) & 63);
  uint64_t r;
  if (op == BinaryOperator::Lshift) {
    r = left.payload << count;
  } else if (left.valueKind == ValueKind::Signed) {
    r = static_cast<uint64_t>(static_cast<int64_t>(left.payload) >> count);  // arithmetic
  } else {
    r = left.payload >> count;  // logical
  }
  return likeWith(left, r);
}

Outcome<ExpressionValue> bitwise(BinaryOperator op, const ExpressionValue& left,
                                 const ExpressionValue& right) {
  uint64_t b;
  switch (left.valueKind) {
    case ValueKind::Signed:
      b = static_cast<uint64_t>(right.signedValue());
      break;
    case ValueKind::Unsigned:
      b = right.unsignedValue();
      break;
    case ValueKind::Boolean:
      b = right.isNonZero() ? 1 : 0;
      break;
    default:
      return fail(kUnsupportedNumeric);
  }
  const uint64_t a =
      left.valueKind == ValueKind::Boolean ? (left.payload != 0 ? 1 : 0) : left.payload;
  return likeWith(left, op == BinaryOperator::BitAnd  ? a & b
                        : op == BinaryOperator::BitOr ? a | b
                                                      : a ^ b);
}

Outcome<ExpressionValue> logical(BinaryOperator op, const ExpressionValue& left,
                                 const ExpressionValue& right) {
  if (!isInteger(left.valueKind) && left.valueKind != ValueKind::Boolean) {
    return fail(kUnsupportedNumeric);
  }
  const bool l = left.isNonZero();
  const bool r = right.isNonZero();
  const bool truth = op == BinaryOperator::LogicalAnd ? l && r : l || r;
  return likeWith(left, truth ? 1 : 0);
}

bool holds(BinaryOperator op, std::strong_ordering order) {
  switch (op) {
    case BinaryOperator::Lt:
      return order < 0;
    case BinaryOperator::Le:
      return order <= 0;
    case BinaryOperator::Gt:
      return order > 0;
    case BinaryOperator::Ge:
      return order >= 0;
    case BinaryOperator::Eq:
      return order == 0;
    default:
      return order != 0;
  }
}

Outcome<ExpressionValue> compare(BinaryOperator op, const ExpressionValue& left,
                                 const ExpressionValue& right) {
  std::strong_ordering order = std::strong_ordering::equal;
  switch (left.valueKind) {
    case ValueKind::Signed:
      order = static_cast<int64_t>(left.payload) <=> right.signedValue();
      break;
    case ValueKind::Unsigned:
      order = left.payload <=> right.unsignedValue();
      break;
    case ValueKind::Boolean:
      order = (left.payload != 0) <=> right.isNonZero();
      break;
    case ValueKind::String:
      // Byte-wise; a right operand that is not a String compares as its
      // (empty) text.
      order = std::string_view(left.text).compare(right.text) <=> 0;
      break;
    default:
      return fail(kUnsupportedComparison);
  }
  return ExpressionValue::boolean(holds(op, order));
}

}  // namespace

const char* binaryOperatorText(BinaryOperator op) {
  switch (op) {
    case BinaryOperator::Plus:
      return "+";
    case BinaryOperator::Minus:
      return "-";
    case BinaryOperator::Multiply:
      return "*";
    case BinaryOperator::Divide:
      return "/";
    case BinaryOperator::Mod:
      return "%";
    case BinaryOperator::Lshift:
      return "<<";
    case BinaryOperator::Rshift:
      return ">>";
    case BinaryOperator::Lt:
      return "<";
    case BinaryOperator::Le:
      return "<=";
    case BinaryOperator::Gt:
      return ">";
    case BinaryOperator::Ge:
      return ">=";
    case BinaryOperator::Eq:
      return "==";
    case BinaryOperator::Ne:
      return "!=";
    case BinaryOperator::BitAnd:
      return "&";
    case BinaryOperator::BitXor:
      return "^";
    case BinaryOperator::BitOr:
      return "|";
    case BinaryOperator::LogicalAnd:
      return "&&";
    case BinaryOperator::LogicalOr:
      return "||";
  }
  return "?";
}

Outcome<ExpressionValue> applyBinary(BinaryOperator op, const ExpressionValue& left,
                                     const ExpressionValue& right) {
  switch (op) {
    case BinaryOperator::Plus:
    case BinaryOperator::Minus:
    case BinaryOperator::Multiply:
    case BinaryOperator::Divide:
      if (!isNumeric(left.valueKind)) return fail(kUnsupportedNumeric);
      if (op == BinaryOperator::Divide) {
        if (const char* problem = divisorProblem(right)) return fail(problem);
      }
      return arithmetic(op, left, right);
    case BinaryOperator::Mod:
      return remainder(left, right);
    case BinaryOperator::Lshift:
    case BinaryOperator::Rshift:
      return shift(op, left, right);
    case BinaryOperator::BitAnd:
    case BinaryOperator::BitXor:
    case BinaryOperator::BitOr:
      return bitwise(op, left, right);
    case BinaryOperator::LogicalAnd:
    case BinaryOperator::LogicalOr:
      return logical(op, left, right);
    default:
      return compare(op, left, right);
  }
}

Outcome<ExpressionValue> negate(const ExpressionValue& operand) {
  switch (operand.valueKind) {
    case ValueKind::Signed:
      return ExpressionValue::signedInteger(0 - operand.payload, operand.byteSize);
    case ValueKind::Boolean:
      return ExpressionValue::signedInteger(0 - operand.payload, 8);
    case ValueKind::Unsigned:
      return ExpressionValue::unsignedInteger(0 - operand.payload, operand.byteSize);
    case ValueKind::Float:
      return ExpressionValue::floating(-operand.floatPayload(), operand.byteSize);
    default:
      return fail(kUnsupportedUnary);
  }
}

Outcome<ExpressionValue> bitNot(const ExpressionValue& operand) {
  if (!isInteger(operand.valueKind)) return fail(kUnsupportedUnary);
  return likeWith(operand, ~operand.payload);
}

Outcome<ExpressionValue> logicalNot(const ExpressionValue& operand) {
  if (!isNumeric(operand.valueKind)) return fail(kUnsupportedUnary);
  return ExpressionValue::boolean(!operand.isNonZero());
}

}  // namespace vozo
