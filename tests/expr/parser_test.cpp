// The parser: tree shapes that no value shows (compound assignment, postfix
// and call forms), hooks of a derived parser, and nesting limits. Operator
// precedence and the value of each node are pinned end to end by the golden
// case expr_evaluator_table.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "expr/simple_expression_parser.h"

namespace vozo {
namespace {

std::string parseError(ExpressionParser& parser, std::string_view text) {
  const Outcome<const Expression*> tree = parser.parse(text);
  return tree ? "(no error)" : tree.message();
}

// The tree's text form, or the failure.
std::string treeText(ExpressionParser& parser, std::string_view text) {
  const Outcome<const Expression*> tree = parser.parse(text);
  return tree ? (*tree)->text() : "failure: " + tree.message();
}

// The value's signed read-out, or the failure.
std::string valueText(const Outcome<ExpressionValue>& value) {
  return value ? std::to_string(value->signedValue()) : "failure: " + value.message();
}

TEST(ParserTest, TreeShapes) {
  struct Case {
    std::string_view text;
    std::string_view tree;
  };
  const Case cases[] = {
      {"a = b = c", "((a = b) = c)"},  // every level is left-associative
      {"a = 1 || 2", "(a = (1 || 2))"},
      {"a += 1", "(a = (a + 1))"},
      {"a <<= b = c", "(a = (a << (b = c)))"},  // "=" binds tighter than "<<="
      {"-a *= 2", "((-a) = ((-a) * 2))"},
      {"x++", "(x = (x + 1))"},
      {"--x", "(x = (x - 1))"},
      {"*&p", "(*(&p))"},
      {"a::b::c", "a::b::c"},
      {"::g", "::g"},
      {"f(1, 2 + 3)(4)", "f(1, (2 + 3))(4)"},
      {"f()", "f()"},
      {"a[1][2:3]", "a[1][2:3]"},
      {"s.m->n", "s.m->n"},
      {"-s.m", "(-s.m)"},
      {"(unsigned char *)p + 1", "(((unsigned char *) p) + 1)"},
      {"sizeof(long) + sizeof(x)", "(sizeof(long) + sizeof(x))"},
      {"addressof(main)", "addressof(main)"},
      {"symbolat(\"a.c\", 12)", "symbolat(\"a.c\", 12)"},
  };
  SimpleExpressionParser parser;
  for (const Case& c : cases) EXPECT_EQ(treeText(parser, c.text), c.tree) << c.text;
}

TEST(ParserTest, OperandWalk) {
  SimpleExpressionParser parser;
  std::vector<std::string> operands;
  (*parser.parse("f(1, a + 2)"))->forEachOperand([&](const Expression& operand) {
    operands.push_back(operand.text());
  });
  EXPECT_EQ(operands, (std::vector<std::string>{"f", "1", "(a + 2)"}));
}

TEST(ParserTest, NestingLimit) {
  SimpleExpressionParser parser;
  const std::string tooDeep = "expression nested too deeply";
  const int limit = ExpressionParser::kMaxNesting;
  EXPECT_EQ(parseError(parser, std::string(200000, '(')), tooDeep);
  EXPECT_EQ(parseError(parser, std::string(200000, '-') + "1"), tooDeep);
  EXPECT_EQ(parseError(parser, std::string(200000, '!') + "1"), tooDeep);
  EXPECT_EQ(parseError(parser, std::string(200000, '*') + "1"), tooDeep);
  std::string brackets = "a";
  for (int i = 0; i < limit; ++i) brackets += "[a";
  EXPECT_EQ(parseError(parser, brackets), tooDeep);
  std::string calls = "f";
  for (int i = 0; i < limit; ++i) calls += "(f";
  EXPECT_EQ(parseError(parser, calls), tooDeep);
  EXPECT_EQ(parseError(parser, std::string(limit, '(') + "1" + std::string(limit, ')')), tooDeep);
  EXPECT_EQ(parseError(parser, std::string(limit - 1, '(') + "1" + std::string(limit - 1, ')')),
            "(no error)");
}

// The first failure is the parse's, however deep it is found; the parser
// sees nothing after it (a NUL byte cannot come from a file's attribute).
TEST(ParserTest, FirstFailureEndsTheParse) {
  SimpleExpressionParser parser;
  EXPECT_EQ(parseError(parser, std::string_view("1\0", 2)),
            std::string_view("unrecognised token: \0", 21));
  EXPECT_EQ(parseError(parser, "((1 + ) + )"), "unexpected token TOKEN_RPAREN");
  EXPECT_EQ(parseError(parser, "a::(b::c"), "identifier expected");
  EXPECT_EQ(parseError(parser, "(1 ? 2) += 3"), "operator not supported");
  EXPECT_EQ(parseError(parser, "(1 + 2) += 3"), "cannot duplicate expression");
  EXPECT_EQ(parseError(parser, "1 + 2"), "(no error)");  // the next parse starts afresh
}

TEST(ParserTest, LongChainsAreNotNesting) {
  SimpleExpressionParser parser;
  std::string postfix = "a";
  for (int i = 0; i < 100000; ++i) postfix += "[1]";
  const Expression& tree = **parser.parse(postfix);
  EXPECT_EQ(tree.text(), postfix);
  EXPECT_EQ(valueText(tree.evaluate()), "failure: a symbol not found");  // without recursion

  std::string differences = "0";
  for (int i = 0; i < 100000; ++i) differences += "-1";
  EXPECT_EQ(valueText(parser.evaluate(differences)), "-100000");
}

// A parser that knows a few symbols and records what it is asked.
class RecordingParser : public SimpleExpressionParser {
 public:
  std::map<std::string, int64_t, std::less<>> symbols;
  std::map<std::string, std::string, std::less<>> replacements;
  std::vector<std::string> lookups;

  Outcome<ExpressionValue> lookupSymbol(std::string_view name) override {
    lookups.emplace_back(name);
    const auto found = symbols.find(name);
    if (found == symbols.end()) return SimpleExpressionParser::lookupSymbol(name);
    return ExpressionValue::signedInteger(static_cast<uint64_t>(found->second));
  }
  std::optional<std::string> identifierReplacement(std::string_view name) override {
    const auto found = replacements.find(name);
    if (found == replacements.end()) return std::nullopt;
    return found->second;
  }
  // Evaluates the operand while the outer evaluation is still running.
  Outcome<ExpressionValue> sizeOfExpression(const Expression& operand) override {
    return operand.evaluate();
  }
};

TEST(ParserTest, HooksOfADerivedParser) {
  RecordingParser parser;
  parser.symbols = {{"zero", 0}, {"one", 1}, {"y", 1000}};
  parser.replacements = {{"x", "(one + 2)"}, {"y", "y + 1"}, {"same", "same"}};

  EXPECT_EQ(valueText(parser.evaluate("zero && one")), "0");
  EXPECT_EQ(parser.lookups, (std::vector<std::string>{"zero", "one"}));  // both, in order

  EXPECT_EQ(valueText(parser.evaluate("x * 3")), "9");
  // A replacement that names itself again stops after the nesting depth.
  EXPECT_EQ(valueText(parser.evaluate("y")),
            std::to_string(1000 + ExpressionParser::kMaxReplacementDepth));
  // A replacement equal to the identifier is not used.
  parser.lookups.clear();
  EXPECT_EQ(valueText(parser.evaluate("same")), "failure: same symbol not found");
  EXPECT_EQ(parser.lookups, (std::vector<std::string>{"same"}));

  EXPECT_EQ(valueText(parser.evaluate("(sizeof(one + sizeof(2 * 3)) + 1) * 2")), "16");
}

TEST(ParserTest, ParsersAreIndependent) {
  SimpleExpressionParser first;
  SimpleExpressionParser second;
  const Expression& a = **first.parse("1 + 2");
  const Expression& b = **second.parse("3 * 4");
  EXPECT_EQ(valueText(a.evaluate()), "3");
  EXPECT_EQ(valueText(b.evaluate()), "12");
}

}  // namespace
}  // namespace vozo
