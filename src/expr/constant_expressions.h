#pragma once
// Literal nodes. Integer literals are Signed with byteSize 8, float literals
// Float with byteSize 8, string literals String.

#include <cstdint>
#include <string_view>

#include "expr/expression.h"

namespace vozo {

class ConstantExpression : public Expression {
 public:
  // `sourceText` is the literal as written; it must outlive the node.
  ConstantExpression(ExpressionParser& parser, std::string_view sourceText)
      : Expression(parser), sourceText_(sourceText) {}
  std::string_view sourceText() const { return sourceText_; }
  size_t textPieceCount() const override { return 1; }
  TextPiece textPiece(size_t) const override { return {sourceText_}; }

 protected:
  ~ConstantExpression() = default;

 private:
  std::string_view sourceText_;
};

class IntegerConstantExpression final : public ConstantExpression {
 public:
  IntegerConstantExpression(ExpressionParser& parser, std::string_view sourceText, uint64_t value)
      : ConstantExpression(parser, sourceText), value_(value) {}
  uint64_t value() const { return value_; }
  Outcome<ExpressionValue> combine(std::span<ExpressionValue>) const override;
  const Expression* clone() const override;

 private:
  uint64_t value_;
};

class FloatConstantExpression final : public ConstantExpression {
 public:
  FloatConstantExpression(ExpressionParser& parser, std::string_view sourceText, double value)
      : ConstantExpression(parser, sourceText), value_(value) {}
  Outcome<ExpressionValue> combine(std::span<ExpressionValue>) const override;
  const Expression* clone() const override;

 private:
  double value_;
};

class StringConstantExpression final : public ConstantExpression {
 public:
  // `contents` is the text between the quotes, backslashes as written.
  StringConstantExpression(ExpressionParser& parser, std::string_view sourceText,
                           std::string_view contents)
      : ConstantExpression(parser, sourceText), contents_(contents) {}
  Outcome<ExpressionValue> combine(std::span<ExpressionValue>) const override;
  const Expression* clone() const override;

 private:
  std::string_view contents_;
};

}  // namespace vozo
