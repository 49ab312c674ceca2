#pragma once
// Names: symbols, scoped symbols and registers. Their values come from the
// parser's hooks.

#include <span>
#include <string_view>

#include "expr/expression.h"

namespace vozo {

class IdentifierExpression final : public Expression {
 public:
  IdentifierExpression(ExpressionParser& parser, std::string_view name)
      : Expression(parser), name_(name) {}
  std::string_view name() const { return name_; }
  Outcome<ExpressionValue> combine(std::span<ExpressionValue>) const override;
  const Expression* clone() const override;
  size_t textPieceCount() const override { return 1; }
  TextPiece textPiece(size_t) const override { return {name_}; }

 private:
  std::string_view name_;
};

// A name with "::" scopes; a name from the global scope ("::a") has an empty
// first part.
class ScopedIdentifierExpression final : public Expression {
 public:
  ScopedIdentifierExpression(ExpressionParser& parser, std::span<const std::string_view> parts)
      : Expression(parser), parts_(parts) {}
  std::span<const std::string_view> parts() const { return parts_; }
  Outcome<ExpressionValue> combine(std::span<ExpressionValue>) const override;
  const Expression* clone() const override;
  size_t textPieceCount() const override { return parts_.size() * 2 - 1; }
  TextPiece textPiece(size_t index) const override;

 private:
  std::span<const std::string_view> parts_;
};

class RegisterExpression final : public Expression {
 public:
  // `registerText` includes the leading "@".
  RegisterExpression(ExpressionParser& parser, std::string_view registerText)
      : Expression(parser), registerText_(registerText) {}
  Outcome<ExpressionValue> combine(std::span<ExpressionValue>) const override;
  const Expression* clone() const override;
  size_t textPieceCount() const override { return 1; }
  TextPiece textPiece(size_t) const override { return {registerText_}; }

 private:
  std::string_view registerText_;
};

}  // namespace vozo
