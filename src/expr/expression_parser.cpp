#include "expr/expression_parser.h"

#include <array>
#include <vector>

#include "expr/constant_expressions.h"
#include "expr/debugger_expressions.h"
#include "expr/literal_values.h"
#include "expr/name_expressions.h"
#include "expr/operator_expressions.h"
#include "expr/plain_literal.h"

namespace vozo {

namespace {

constexpr int kLoosestLevel = -4;
constexpr int kTightestLevel = 9;

// Words that begin a type name in a cast or sizeof, besides declared types.
constexpr std::array<std::string_view, 10> kTypeWords = {
    "char", "short", "long", "float", "double", "signed", "unsigned", "const", "volatile", "struct",
};

// What token() shows once the parse has failed: the end of the input, which
// no loop of the parser continues on, so every level returns at once.
const Token kEndOfInput;

}  // namespace

class ExpressionParser::NestingGuard {
 public:
  explicit NestingGuard(int& depth) : depth_(depth) { ++depth_; }
  ~NestingGuard() { --depth_; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;

 private:
  int& depth_;
};

Outcome<const Expression*> ExpressionParser::parse(std::string_view text) {
  arena_.reset();
  lexer_.reset(text);
  nesting_ = 0;
  failed_ = false;
  failure_.clear();
  advance();
  const Expression& tree = parseBinary(kLoosestLevel);
  if (failed_) return Failure{std::move(failure_)};
  return &tree;
}

Outcome<ExpressionValue> ExpressionParser::evaluate(std::string_view text) {
  if (std::optional<ExpressionValue> literal = evaluatePlainArithmetic(text)) return *literal;
  Outcome<const Expression*> tree = parse(text);
  if (!tree) return std::move(tree.failure());
  return (*tree)->evaluate();
}

const Token& ExpressionParser::token() const {
  return failed_ ? kEndOfInput : lexer_.current();
}

const Expression& ExpressionParser::failParse(std::string message) {
  if (!failed_) {
    failed_ = true;
    failure_ = std::move(message);
  }
  // A stand-in for the part that failed, so that the levels above can
  // return as usual; the tree is never evaluated.
  return arena_.make<IntegerConstantExpression>(*this, std::string_view(), 0);
}

void ExpressionParser::advance() {
  if (failed_) return;
  const Token* current = &lexer_.next();
  while (current->kind == TOKEN_IDENT && lexer_.pushedInputCount() < kMaxReplacementDepth) {
    std::optional<std::string> replacement = identifierReplacement(current->text);
    if (!replacement || *replacement == current->text) break;
    lexer_.pushInput(std::move(*replacement));
    current = &lexer_.next();
  }
  if (!lexer_.unrecognised().empty()) {
    failParse("unrecognised token: " + std::string(lexer_.unrecognised()));
  }
}

void ExpressionParser::expect(TokenKind kind, const char* message) {
  if (token().kind != kind) {
    failParse(message);
    return;
  }
  advance();
}

// Precedence climbing: an operand, then operators of at least
// `minimumLevel`, each with a right operand of the next tighter level, so
// that every level associates to the left.
const Expression& ExpressionParser::parseBinary(int minimumLevel) {
  const Expression* left = &parseUnary();
  for (;;) {
    const Token op = token();
    if (op.precedence < minimumLevel || op.precedence > kTightestLevel) return *left;
    advance();
    const Expression& right = parseBinary(op.precedence + 1);
    left = &makeBinary(op.kind, *left, right);
  }
}

const Expression& ExpressionParser::makeBinary(TokenKind op, const Expression& left,
                                               const Expression& right) {
  switch (op) {
    case TOKEN_STAR:
      return arena_.make<MultiplyExpression>(*this, left, right);
    case TOKEN_SLASH:
      return arena_.make<DivideExpression>(*this, left, right);
    case TOKEN_MOD:
      return arena_.make<ModExpression>(*this, left, right);
    case TOKEN_PLUS:
      return arena_.make<PlusExpression>(*this, left, right);
    case TOKEN_MINUS:
      return arena_.make<MinusExpression>(*this, left, right);
    case TOKEN_LSHIFT:
      return arena_.make<LshiftExpression>(*this, left, right);
    case TOKEN_RSHIFT:
      return arena_.make<RshiftExpression>(*this, left, right);
    case TOKEN_LT:
      return arena_.make<LtExpression>(*this, left, right);
    case TOKEN_LE:
      return arena_.make<LeExpression>(*this, left, right);
    case TOKEN_GT:
      return arena_.make<GtExpression>(*this, left, right);
    case TOKEN_GE:
      return arena_.make<GeExpression>(*this, left, right);
    case TOKEN_EQ:
      return arena_.make<EqExpression>(*this, left, right);
    case TOKEN_NE:
      return arena_.make<NeExpression>(*this, left, right);
    case TOKEN_BITAND:
      return arena_.make<BitAndExpression>(*this, left, right);
    case TOKEN_BITXOR:
      return arena_.make<BitXorExpression>(*this, left, right);
    case TOKEN_BITOR:
      return arena_.make<BitOrExpression>(*this, left, right);
    case TOKEN_LOGAND:
      return arena_.make<LogicalAndExpression>(*this, left, right);
    case TOKEN_LOGOR:
      return arena_.make<LogicalOrExpression>(*this, left, right);
    case TOKEN_ASSIGN:
      return arena_.make<AssignExpression>(*this, left, right);
    case TOKEN_STAR_ASSIGN:
    case TOKEN_DIV_ASSIGN:
    case TOKEN_MOD_ASSIGN:
    case TOKEN_PLUS_ASSIGN:
    case TOKEN_MINUS_ASSIGN:
    case TOKEN_LSHIFT_ASSIGN:
    case TOKEN_RSHIFT_ASSIGN:
    case TOKEN_BITAND_ASSIGN:
    case TOKEN_BITXOR_ASSIGN:
    case TOKEN_BITOR_ASSIGN: {
      // "a op= b" is "a = a op b" with a copy of the target.
      static constexpr std::array<std::pair<TokenKind, TokenKind>, 10> kPlainForm = {{
          {TOKEN_STAR_ASSIGN, TOKEN_STAR},
          {TOKEN_DIV_ASSIGN, TOKEN_SLASH},
          {TOKEN_MOD_ASSIGN, TOKEN_MOD},
          {TOKEN_PLUS_ASSIGN, TOKEN_PLUS},
          {TOKEN_MINUS_ASSIGN, TOKEN_MINUS},
          {TOKEN_LSHIFT_ASSIGN, TOKEN_LSHIFT},
          {TOKEN_RSHIFT_ASSIGN, TOKEN_RSHIFT},
          {TOKEN_BITAND_ASSIGN, TOKEN_BITAND},
          {TOKEN_BITXOR_ASSIGN, TOKEN_BITXOR},
          {TOKEN_BITOR_ASSIGN, TOKEN_BITOR},
      }};
      TokenKind plain = TOKEN_EOL;
      for (const auto& [compound, simple] : kPlainForm) {
        if (compound == op) plain = simple;
      }
      const Expression* copy = left.clone();
      if (copy == nullptr) return failParse("cannot duplicate expression");
      const Expression& value = makeBinary(plain, *copy, right);
      return arena_.make<AssignExpression>(*this, left, value);
    }
    default:  // "," "?" ">>>" ">>>="
      return failParse("operator not supported");
  }
}

const Expression& ExpressionParser::makeIncrement(const Expression& target, TokenKind op) {
  static constexpr std::string_view kOne = "1";
  const Expression& one = arena_.make<IntegerConstantExpression>(*this, kOne, 1);
  const Expression* copy = target.clone();
  if (copy == nullptr) return failParse("cannot duplicate expression");
  const Expression& value =
      op == TOKEN_INCREMENT
          ? static_cast<const Expression&>(arena_.make<PlusExpression>(*this, *copy, one))
          : arena_.make<MinusExpression>(*this, *copy, one);
  return arena_.make<AssignExpression>(*this, target, value);
}

const Expression& ExpressionParser::parseUnary() {
  if (nesting_ >= kMaxNesting) return failParse("expression nested too deeply");
  NestingGuard guard(nesting_);
  const Token current = token();
  switch (current.kind) {
    case TOKEN_INTEGER:
    case TOKEN_HEXINTEGER:
    case TOKEN_BININTEGER: {
      advance();
      const uint64_t value = integerLiteralValue(current.kind, current.text);
      return parsePostfix(arena_.make<IntegerConstantExpression>(*this, current.text, value));
    }
    case TOKEN_FLOAT:
      advance();
      return parsePostfix(arena_.make<FloatConstantExpression>(*this, current.text,
                                                               floatLiteralValue(current.text)));
    case TOKEN_STRING:
      advance();
      return parsePostfix(arena_.make<StringConstantExpression>(
          *this, current.text, current.text.substr(1, current.text.size() - 2)));
    case TOKEN_IDENT:
      if (current.text == "sizeof") return parsePostfix(parseSizeof());
      if (current.text == "addressof") return parsePostfix(parseAddressofLine());
      if (current.text == "symbolat") return parsePostfix(parseSymbolAt());
      return parsePostfix(parseName());
    case TOKEN_COLONCOLON:
      return parsePostfix(parseName());
    case TOKEN_REGISTER:
      advance();
      return parsePostfix(arena_.make<RegisterExpression>(*this, current.text));
    case TOKEN_LPAREN: {
      advance();
      if (token().kind == TOKEN_IDENT && isTypeWord(token().text)) {
        const std::string_view type = parseTypeName();
        expect(TOKEN_RPAREN, "')' expected");
        return arena_.make<CastExpression>(*this, type, parseUnary());
      }
      const Expression& inner = parseBinary(kLoosestLevel);
      expect(TOKEN_RPAREN, "')' expected");
      return parsePostfix(inner);
    }
    case TOKEN_PLUS:
      advance();
      return parseUnary();
    case TOKEN_MINUS:
      advance();
      return arena_.make<NegateExpression>(*this, parseUnary());
    case TOKEN_BITNOT:
      advance();
      return arena_.make<BitNotExpression>(*this, parseUnary());
    case TOKEN_LOGNOT:
      advance();
      return arena_.make<LogicalNotExpression>(*this, parseUnary());
    case TOKEN_STAR:
      advance();
      return arena_.make<DereferenceExpression>(*this, parseUnary());
    case TOKEN_BITAND:
      advance();
      return arena_.make<AddressofExpression>(*this, parseUnary());
    case TOKEN_INCREMENT:
    case TOKEN_DECREMENT:
      advance();
      return makeIncrement(parseUnary(), current.kind);
    default:
      return failParse("unexpected token " + std::string(tokenKindName(current.kind)));
  }
}

const Expression& ExpressionParser::parsePostfix(const Expression& primary) {
  const Expression* node = &primary;
  for (;;) {
    const TokenKind kind = token().kind;
    switch (kind) {
      case TOKEN_LBRACK: {
        advance();
        const Expression& first = parseBinary(kLoosestLevel);
        if (token().kind == TOKEN_COLON) {
          advance();
          const Expression& last = parseBinary(kLoosestLevel);
          expect(TOKEN_RBRACK, "expected ']'");
          node = &arena_.make<ArraySliceExpression>(*this, *node, first, last);
        } else {
          expect(TOKEN_RBRACK, "expected ']'");
          node = &arena_.make<LeftSquareBracketExpression>(*this, *node, first);
        }
        break;
      }
      case TOKEN_DOT:
      case TOKEN_POINTSAT: {
        advance();
        if (token().kind != TOKEN_IDENT) return failParse("identifier expected");
        const std::string_view name = token().text;
        advance();
        if (kind == TOKEN_DOT) {
          node = &arena_.make<DotExpression>(*this, *node, name);
        } else {
          node = &arena_.make<PtrToMemberExpression>(*this, *node, name);
        }
        break;
      }
      case TOKEN_LPAREN: {
        advance();
        std::vector<const Expression*> operands{node};
        if (token().kind != TOKEN_RPAREN) {
          for (;;) {
            operands.push_back(&parseBinary(kLoosestLevel + 1));  // "," separates
            if (token().kind != TOKEN_COMMA) break;
            advance();
          }
        }
        expect(TOKEN_RPAREN, "')' expected");
        const auto stored = arena_.copyArray<const Expression*>(operands);
        node = &arena_.make<CallExpression>(*this, stored);
        break;
      }
      case TOKEN_INCREMENT:
      case TOKEN_DECREMENT:
        advance();
        node = &makeIncrement(*node, kind);
        break;
      default:
        return *node;
    }
  }
}

// name, name::name..., or ::name... from the global scope.
const Expression& ExpressionParser::parseName() {
  std::vector<std::string_view> parts;
  if (token().kind == TOKEN_IDENT) {
    const std::string_view first = token().text;
    advance();
    if (token().kind != TOKEN_COLONCOLON) return arena_.make<IdentifierExpression>(*this, first);
    parts.push_back(first);
  } else {
    parts.push_back({});  // global scope
  }
  while (token().kind == TOKEN_COLONCOLON) {
    advance();
    if (token().kind != TOKEN_IDENT) return failParse("identifier expected");
    parts.push_back(token().text);
    advance();
  }
  const auto stored = arena_.copyArray<std::string_view>(parts);
  return arena_.make<ScopedIdentifierExpression>(*this, stored);
}

bool ExpressionParser::isTypeWord(std::string_view word) {
  for (std::string_view typeWord : kTypeWords) {
    if (word == typeWord) return true;
  }
  return isTypeName(word);
}

// Type words, "struct name" and "*"s, e.g. "unsigned char *". Inline struct
// definitions are not supported.
std::string_view ExpressionParser::parseTypeName() {
  std::string type;
  auto append = [&type](std::string_view word) {
    if (!type.empty()) type += ' ';
    type += word;
  };
  for (;;) {
    if (token().kind == TOKEN_STAR) {
      append("*");
      advance();
    } else if (token().kind == TOKEN_IDENT && token().text == "struct") {
      advance();
      std::string_view problem;
      if (token().kind == TOKEN_LCURLY) {
        problem = "struct parse error";
      } else if (token().kind != TOKEN_IDENT) {
        problem = "identifier expected";
      } else if (!isStructName(token().text)) {
        problem = "struct type not found";
      }
      if (!problem.empty()) {
        failParse(std::string(problem));
        return {};
      }
      append("struct");
      append(token().text);
      advance();
    } else if (token().kind == TOKEN_IDENT && isTypeWord(token().text)) {
      append(token().text);
      advance();
    } else {
      return arena_.copyText(type);
    }
  }
}

// sizeof(type) or sizeof(expression).
const Expression& ExpressionParser::parseSizeof() {
  advance();
  expect(TOKEN_LPAREN, "'(' expected");
  const Expression* node;
  if (token().kind == TOKEN_IDENT && isTypeWord(token().text)) {
    node = &arena_.make<SizeofExpression>(*this, parseTypeName());
  } else {
    node = &arena_.make<SizeofExpression>(*this, parseBinary(kLoosestLevel));
  }
  expect(TOKEN_RPAREN, "')' expected");
  return *node;
}

// addressof(expression).
const Expression& ExpressionParser::parseAddressofLine() {
  advance();
  expect(TOKEN_LPAREN, "'(' expected");
  const Expression& operand = parseBinary(kLoosestLevel);
  expect(TOKEN_RPAREN, "')' expected");
  return arena_.make<AddressofLineExpression>(*this, operand);
}

// symbolat("file", line).
const Expression& ExpressionParser::parseSymbolAt() {
  advance();
  expect(TOKEN_LPAREN, "'(' expected");
  if (token().kind != TOKEN_STRING) return failParse("string expected");
  const std::string_view fileText = token().text;
  advance();
  expect(TOKEN_COMMA, "',' expected");
  if (token().kind != TOKEN_INTEGER) return failParse("int expected");
  const std::string_view lineText = token().text;
  const auto line = static_cast<int64_t>(integerLiteralValue(TOKEN_INTEGER, lineText));
  advance();
  expect(TOKEN_RPAREN, "')' expected");
  return arena_.make<SymbolAtExpression>(*this, fileText, fileText.substr(1, fileText.size() - 2),
                                         lineText, line);
}

}  // namespace vozo
