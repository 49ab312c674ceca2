#pragma once
// The expression parser of the tool: every hook fails (or answers no), so
// what evaluates is arithmetic and logic over the numbers and strings written
// in the expression itself. Cheap to create: the lexer's compiled patterns
// are shared by all parsers.

#include <cstddef>
#include <string>
#include <string_view>

#include "expr/expression_parser.h"

namespace vozo {

class SimpleExpressionParser : public ExpressionParser {
 public:
  // The most expression text one parser evaluates in its life. Each document
  // evaluates with parsers of its own, so this bounds the time the
  // expressions of one input take (a few seconds at most).
  static constexpr size_t kMaxTextPerParser = size_t{16} << 20;

  // What the parser may still evaluate.
  size_t textLeft() const { return textLeft_; }
  // Takes `bytes` from what the parser may still evaluate; false when that
  // is less.
  bool spendText(size_t bytes) {
    if (bytes > textLeft_) return false;
    textLeft_ -= bytes;
    return true;
  }

  // "a::b symbol not found" (parts joined by "::").
  Outcome<ExpressionValue> lookupScopedSymbol(std::span<const std::string_view> parts) override;
  // "<name> symbol not found".
  Outcome<ExpressionValue> lookupSymbol(std::string_view name) override;
  // "<register text>unknown register".
  Outcome<ExpressionValue> readRegister(std::string_view registerText) override;
  bool isTypeName(std::string_view name) override;    // false
  bool isStructName(std::string_view name) override;  // false
  // "cannot cast".
  Outcome<ExpressionValue> cast(std::string_view typeText, const ExpressionValue& value) override;
  // The four dereferences: "cannot dereference".
  Outcome<ExpressionValue> dereference(const ExpressionValue& pointer) override;
  Outcome<ExpressionValue> index(const ExpressionValue& base,
                                 const ExpressionValue& index) override;
  Outcome<ExpressionValue> member(const ExpressionValue& object, std::string_view member) override;
  Outcome<ExpressionValue> pointedMember(const ExpressionValue& pointer,
                                         std::string_view member) override;
  // "addressof not implemented".
  Outcome<ExpressionValue> addressOf(const Expression& operand) override;
  // "sizeof expression not implemented".
  Outcome<ExpressionValue> sizeOfExpression(const Expression& operand) override;
  // "sizeof(typename) not implemented".
  Outcome<ExpressionValue> sizeOfType(std::string_view typeText) override;
  // "addressof not implemented".
  Outcome<ExpressionValue> addressOfLine(const Expression& operand) override;
  // "this symbol not found".
  Outcome<ExpressionValue> assign(const Expression& target, const Expression& value) override;
  // "function calling not implemented".
  Outcome<ExpressionValue> call(const Expression& function,
                                std::span<const ExpressionValue> arguments) override;
  // "cannot array slice".
  Outcome<ExpressionValue> arraySlice(const ExpressionValue& base, const ExpressionValue& first,
                                      const ExpressionValue& last) override;
  // "symbolat not implemented".
  Outcome<ExpressionValue> symbolAt(std::string_view file, int64_t line) override;
  // None: identifiers are never replaced.
  std::optional<std::string> identifierReplacement(std::string_view name) override;

 private:
  size_t textLeft_ = kMaxTextPerParser;
};

}  // namespace vozo
