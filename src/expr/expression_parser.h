#pragma once
// The expression parser: reads a text with the C-like lexer, builds a tree of
// expression nodes by recursive descent with precedence climbing, and
// evaluates it. Names, registers, memory, types and calls are left to virtual
// hooks that a variant of the parser implements.
//
// Binary levels, from -4 (loosest) to 9 (tightest), all left-associative:
//   -4 ","  -3 compound assignments  -2 "="  -1 "?"  0 "||"  1 "&&"  2 "|"
//   3 "^"  4 "&"  5 "==" "!="  6 "<" "<=" ">" ">="  7 "<<" ">>" ">>>"
//   8 "+" "-"  9 "*" "/" "%"
// ",", "?", ">>>" and ">>>=" fail with "operator not supported" once their
// right operand has been parsed. The parse ends at the first token that
// cannot continue the expression, so "4K" parses as 4.
//
// Nesting limit: at most kMaxNesting parentheses, prefix operators and
// bracketed forms may be open at once; deeper input fails with "expression
// nested too deeply" instead of exhausting the stack. Chains of binary
// operators are not nested in this sense and may be of any length.
//
// Failures are values. The first failure of a parse (the lexer's, the
// parser's own) is kept, and from then on the parser sees the end of the
// input, so every level returns at once; parse() then returns that failure.
// Evaluation returns the first failure of a node or a hook the same way.
//
// A parser is not re-entrant: one parse or evaluation at a time. The tree
// returned by parse() is valid until the next parse.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "expr/c_style_lexer.h"
#include "expr/expression.h"
#include "expr/expression_value.h"
#include "expr/node_arena.h"

namespace vozo {

class ExpressionParser {
 public:
  static constexpr int kMaxNesting = 256;
  // Identifier replacements nest at most this deep.
  static constexpr size_t kMaxReplacementDepth = 100;

  ExpressionParser() = default;
  virtual ~ExpressionParser() = default;
  ExpressionParser(const ExpressionParser&) = delete;
  ExpressionParser& operator=(const ExpressionParser&) = delete;

  // Parses `text`, which must outlive the returned tree.
  Outcome<const Expression*> parse(std::string_view text);

  // Parses and evaluates `text`. A text of plain literals and + - * (see
  // plain_literal.h) is computed directly, with the same result.
  Outcome<ExpressionValue> evaluate(std::string_view text);

  // After parse(): the text of the first token that the expression did not
  // take, empty when the parse reached the end of the text ("4K" leaves "K").
  std::string_view unparsedToken() const {
    return token().kind == TOKEN_EOL ? std::string_view() : token().text;
  }

  NodeArena& arena() { return arena_; }
  EvaluationScratch& evaluationScratch() { return scratch_; }

  // Hooks, in slot order. A hook that cannot answer returns the failure the
  // evaluation reports.
  virtual Outcome<ExpressionValue> lookupScopedSymbol(std::span<const std::string_view> parts) = 0;
  virtual Outcome<ExpressionValue> lookupSymbol(std::string_view name) = 0;
  virtual Outcome<ExpressionValue> readRegister(std::string_view registerText) = 0;
  // Whether `name` is a declared type (casts, sizeof) or a declared struct.
  virtual bool isTypeName(std::string_view name) = 0;
  virtual bool isStructName(std::string_view name) = 0;
  virtual Outcome<ExpressionValue> cast(std::string_view typeText,
                                        const ExpressionValue& value) = 0;
  virtual Outcome<ExpressionValue> dereference(const ExpressionValue& pointer) = 0;
  virtual Outcome<ExpressionValue> index(const ExpressionValue& base,
                                         const ExpressionValue& index) = 0;
  virtual Outcome<ExpressionValue> member(const ExpressionValue& object,
                                          std::string_view member) = 0;
  virtual Outcome<ExpressionValue> pointedMember(const ExpressionValue& pointer,
                                                 std::string_view member) = 0;
  virtual Outcome<ExpressionValue> addressOf(const Expression& operand) = 0;
  virtual Outcome<ExpressionValue> sizeOfExpression(const Expression& operand) = 0;
  virtual Outcome<ExpressionValue> sizeOfType(std::string_view typeText) = 0;
  virtual Outcome<ExpressionValue> addressOfLine(const Expression& operand) = 0;
  // Resolves `target`, evaluates `value` and stores it.
  virtual Outcome<ExpressionValue> assign(const Expression& target, const Expression& value) = 0;
  virtual Outcome<ExpressionValue> call(const Expression& function,
                                        std::span<const ExpressionValue> arguments) = 0;
  virtual Outcome<ExpressionValue> arraySlice(const ExpressionValue& base,
                                              const ExpressionValue& first,
                                              const ExpressionValue& last) = 0;
  virtual Outcome<ExpressionValue> symbolAt(std::string_view file, int64_t line) = 0;
  // A text read in place of the identifier `name`, or none.
  virtual std::optional<std::string> identifierReplacement(std::string_view name) = 0;

 private:
  class NestingGuard;

  // The current token; the end of the input once the parse has failed.
  const Token& token() const;
  void advance();
  // Keeps the parse's first failure and returns a stand-in node.
  const Expression& failParse(std::string message);
  void expect(TokenKind kind, const char* message);

  const Expression& parseBinary(int minimumLevel);
  const Expression& makeBinary(TokenKind op, const Expression& left, const Expression& right);
  const Expression& makeIncrement(const Expression& target, TokenKind op);
  const Expression& parseUnary();
  const Expression& parsePostfix(const Expression& primary);
  const Expression& parseName();
  const Expression& parseSizeof();
  const Expression& parseAddressofLine();
  const Expression& parseSymbolAt();
  bool isTypeWord(std::string_view word);
  std::string_view parseTypeName();

  CStyleLexer lexer_;
  NodeArena arena_;
  EvaluationScratch scratch_;
  int nesting_ = 0;
  bool failed_ = false;
  std::string failure_;
};

}  // namespace vozo
