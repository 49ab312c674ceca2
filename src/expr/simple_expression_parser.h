#pragma once
// The expression parser of the tool: every hook fails (or answers no), so
// what evaluates is arithmetic and logic over the numbers and strings written
// in the expression itself. Cheap to create: the lexer's compiled patterns
// are shared by all parsers.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "expr/expression_parser.h"

namespace vozo {

class SimpleExpressionParser : public ExpressionParser {
 public:
  // The most expression text one parser evaluates in its life. Each document
  // evaluates with parsers of its own, so this bounds the time the
  // expressions of one input take (a few seconds at most).
  static constexpr size_t kMaxTextPerParser = size_t{16} << 20;

  // Takes `bytes` from what the parser may still evaluate; false when that
  // is less.
  bool spendText(size_t bytes) {
    if (bytes > textLeft_) return false;
    textLeft_ -= bytes;
    return true;
  }

  // The most expressions that may fail to evaluate in one parser's life. The
  // evaluator reports a failure by unwinding, which costs a hundred times an
  // evaluation, so this and the text bound keep a document's expressions to
  // a few seconds.
  static constexpr size_t kMaxFailuresPerParser = 100000;

  // True when `text` failed before with this parser (the last
  // kRememberedFailures distinct texts are known): a generated file repeats
  // the same failing text in every element it makes, and evaluating it again
  // would fail again.
  bool failedBefore(std::string_view text) const {
    return !failedTexts_.empty() && failedTexts_.find(text) != failedTexts_.end();
  }
  // Counts a failure of `text`; false when it takes the parser past
  // kMaxFailuresPerParser.
  bool noteFailure(std::string_view text);

  // "a::b symbol not found" (parts joined by "::").
  ExpressionValue lookupScopedSymbol(std::span<const std::string_view> parts) override;
  // "<name> symbol not found".
  ExpressionValue lookupSymbol(std::string_view name) override;
  // "<register text>unknown register".
  ExpressionValue readRegister(std::string_view registerText) override;
  bool isTypeName(std::string_view name) override;    // false
  bool isStructName(std::string_view name) override;  // false
  // "cannot cast".
  ExpressionValue cast(std::string_view typeText, const ExpressionValue& value) override;
  // The four dereferences: "cannot dereference".
  ExpressionValue dereference(const ExpressionValue& pointer) override;
  ExpressionValue index(const ExpressionValue& base, const ExpressionValue& index) override;
  ExpressionValue member(const ExpressionValue& object, std::string_view member) override;
  ExpressionValue pointedMember(const ExpressionValue& pointer, std::string_view member) override;
  // "addressof not implemented".
  ExpressionValue addressOf(const Expression& operand) override;
  // "sizeof expression not implemented".
  ExpressionValue sizeOfExpression(const Expression& operand) override;
  // "sizeof(typename) not implemented".
  ExpressionValue sizeOfType(std::string_view typeText) override;
  // "addressof not implemented".
  ExpressionValue addressOfLine(const Expression& operand) override;
  // "this symbol not found".
  ExpressionValue assign(const Expression& target, const Expression& value) override;
  // "function calling not implemented".
  ExpressionValue call(const Expression& function,
                       std::span<const ExpressionValue> arguments) override;
  // "cannot array slice".
  ExpressionValue arraySlice(const ExpressionValue& base, const ExpressionValue& first,
                             const ExpressionValue& last) override;
  // "symbolat not implemented".
  ExpressionValue symbolAt(std::string_view file, int64_t line) override;
  // None: identifiers are never replaced.
  std::optional<std::string> identifierReplacement(std::string_view name) override;

 private:
  static constexpr size_t kRememberedFailures = 4096;
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };

  size_t textLeft_ = kMaxTextPerParser;
  size_t failuresLeft_ = kMaxFailuresPerParser;
  std::unordered_set<std::string, TextHash, std::equal_to<>> failedTexts_;
};

}  // namespace vozo
