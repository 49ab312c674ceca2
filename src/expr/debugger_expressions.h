#pragma once
// Nodes of the forms that reach into a debugged program: indexing, slices,
// member access, casts, calls, sizeof, addressof(line) and symbolat. Each of
// them evaluates through a hook of the parser.

#include <cstdint>
#include <span>
#include <string_view>

#include "expr/expression.h"

namespace vozo {

// "base[index]".
class LeftSquareBracketExpression final : public BinaryExpression {
 public:
  using BinaryExpression::BinaryExpression;
  Outcome<ExpressionValue> combine(std::span<ExpressionValue> values) const override;
  TextPiece textPiece(size_t index) const override;
  size_t textPieceCount() const override { return 4; }
};

// "base[first:last]".
class ArraySliceExpression final : public Expression {
 public:
  ArraySliceExpression(ExpressionParser& parser, const Expression& base, const Expression& first,
                       const Expression& last)
      : Expression(parser), operands_{&base, &first, &last} {}
  std::span<const Expression* const> operands() const override { return operands_; }
  Outcome<ExpressionValue> combine(std::span<ExpressionValue> values) const override;
  size_t textPieceCount() const override { return 6; }
  TextPiece textPiece(size_t index) const override;

 private:
  const Expression* operands_[3];
};

// "object.member" and, with `throughPointer`, "pointer->member".
class MemberAccess : public UnaryExpression {
 public:
  MemberAccess(ExpressionParser& parser, const Expression& object, std::string_view member)
      : UnaryExpression(parser, object), member_(member) {}
  std::string_view member() const { return member_; }
  size_t textPieceCount() const override { return 3; }

 protected:
  ~MemberAccess() = default;
  TextPiece memberPiece(size_t index, std::string_view op) const;

 private:
  std::string_view member_;
};

class DotExpression final : public MemberAccess {
 public:
  using MemberAccess::MemberAccess;
  Outcome<ExpressionValue> combine(std::span<ExpressionValue> values) const override;
  TextPiece textPiece(size_t index) const override { return memberPiece(index, "."); }
};

class PtrToMemberExpression final : public MemberAccess {
 public:
  using MemberAccess::MemberAccess;
  Outcome<ExpressionValue> combine(std::span<ExpressionValue> values) const override;
  TextPiece textPiece(size_t index) const override { return memberPiece(index, "->"); }
};

// "(type) operand"; `typeText` is the type's words joined by spaces.
class CastExpression final : public UnaryExpression {
 public:
  CastExpression(ExpressionParser& parser, std::string_view typeText, const Expression& operand)
      : UnaryExpression(parser, operand), typeText_(typeText) {}
  Outcome<ExpressionValue> combine(std::span<ExpressionValue> values) const override;
  size_t textPieceCount() const override { return 5; }
  TextPiece textPiece(size_t index) const override;

 private:
  std::string_view typeText_;
};

// "function(arguments)": the arguments are evaluated, the function is handed
// over as an expression.
class CallExpression final : public Expression {
 public:
  // `operands` holds the function first, then the arguments.
  CallExpression(ExpressionParser& parser, std::span<const Expression* const> operands)
      : Expression(parser), operands_(operands) {}
  std::span<const Expression* const> operands() const override { return operands_; }
  std::span<const Expression* const> evaluatedOperands() const override {
    return operands_.subspan(1);
  }
  Outcome<ExpressionValue> combine(std::span<ExpressionValue> values) const override;
  size_t textPieceCount() const override;
  TextPiece textPiece(size_t index) const override;

 private:
  std::span<const Expression* const> operands_;
};

// "sizeof(expression)" (not evaluated) or "sizeof(type)".
class SizeofExpression final : public Expression {
 public:
  SizeofExpression(ExpressionParser& parser, const Expression& operand)
      : Expression(parser), operand_{&operand} {}
  SizeofExpression(ExpressionParser& parser, std::string_view typeText)
      : Expression(parser), operand_{nullptr}, typeText_(typeText) {}
  std::span<const Expression* const> operands() const override {
    return operand_[0] != nullptr ? std::span<const Expression* const>(operand_)
                                  : std::span<const Expression* const>();
  }
  std::span<const Expression* const> evaluatedOperands() const override { return {}; }
  Outcome<ExpressionValue> combine(std::span<ExpressionValue> values) const override;
  size_t textPieceCount() const override { return 3; }
  TextPiece textPiece(size_t index) const override;

 private:
  const Expression* operand_[1];
  std::string_view typeText_;
};

// "addressof(expression)": the address of a source line (not evaluated).
class AddressofLineExpression final : public UnaryExpression {
 public:
  using UnaryExpression::UnaryExpression;
  std::span<const Expression* const> evaluatedOperands() const override { return {}; }
  Outcome<ExpressionValue> combine(std::span<ExpressionValue> values) const override;
  size_t textPieceCount() const override { return 3; }
  TextPiece textPiece(size_t index) const override;
};

// symbolat("file", line).
class SymbolAtExpression final : public Expression {
 public:
  SymbolAtExpression(ExpressionParser& parser, std::string_view fileText, std::string_view file,
                     std::string_view lineText, int64_t line)
      : Expression(parser), fileText_(fileText), file_(file), lineText_(lineText), line_(line) {}
  Outcome<ExpressionValue> combine(std::span<ExpressionValue> values) const override;
  size_t textPieceCount() const override { return 5; }
  TextPiece textPiece(size_t index) const override;

 private:
  std::string_view fileText_;  // with its quotes
  std::string_view file_;
  std::string_view lineText_;
  int64_t line_;
};

}  // namespace vozo
