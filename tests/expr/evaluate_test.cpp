// Evaluation through the parser: the value rules of each operator group,
// literal conversion, failure messages, and the entry points with their flag.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "expr/evaluate.h"
#include "expr/parser_exception.h"

namespace vozo {
namespace {

// "Signed -1", "Boolean true", "Float 1.5", "String \"ab\"" or "error: ...".
std::string outcome(SimpleExpressionParser& parser, std::string_view text) {
  try {
    const ExpressionValue v = parser.evaluate(text);
    char buffer[64];
    switch (v.valueKind) {
      case ValueKind::Signed:
        return "Signed " + std::to_string(static_cast<int64_t>(v.payload));
      case ValueKind::Unsigned:
        return "Unsigned " + std::to_string(v.payload);
      case ValueKind::Boolean:
        return v.payload != 0 ? "Boolean true" : "Boolean false";
      case ValueKind::Float:
        std::snprintf(buffer, sizeof buffer, "Float %.17g", v.floatPayload());
        return buffer;
      case ValueKind::String:
        return "String \"" + v.text + "\"";
      default:
        return "kind " + std::to_string(static_cast<int>(v.valueKind));
    }
  } catch (const ParserException& e) {
    return "error: " + e.message();
  }
}

struct Case {
  std::string_view text;
  std::string_view expected;
};

void expectOutcomes(std::initializer_list<Case> cases) {
  SimpleExpressionParser parser;  // one parser for all, as the memory map uses it
  for (const Case& c : cases) EXPECT_EQ(outcome(parser, c.text), c.expected) << c.text;
}

TEST(EvaluateTest, Arithmetic) {
  expectOutcomes({
      {"0x20000000 + 16*1024", "Signed 536887296"},
      {"1 + 2 * 3", "Signed 7"},
      {"(1 + 2) * 3", "Signed 9"},
      {"10 - 2 - 3", "Signed 5"},
      {"100 / 10 / 5", "Signed 2"},
      {"2 * -3", "Signed -6"},
      {"- -5", "Signed 5"},
      {"+7", "Signed 7"},
      {"0x7FFFFFFFFFFFFFFF + 1", "Signed -9223372036854775808"},
      {"0xFFFFFFFFFFFFFFFF * 0xFFFFFFFFFFFFFFFF", "Signed 1"},
      {"-0x8000000000000000", "Signed -9223372036854775808"},
      {"1 + \"abc\"", "Signed 1"},  // a String right operand reads as 0
      // Float promotion keeps the left operand's size; Float left reads the
      // right as a double.
      {"1 + 0.5", "Float 1.5"},
      {"7/2.0", "Float 3.5"},
      {"7.0/2", "Float 3.5"},
      {"0.5 - 1", "Float -0.5"},
      {"1.5 * 2", "Float 3"},
      {"-0.25", "Float -0.25"},
      // Boolean left: + or, - exclusive or, * and, / the left; % false.
      {"(1==1) + (1==2)", "Boolean true"},
      {"(1==1) - (1==1)", "Boolean false"},
      {"(1==1) * (1==2)", "Boolean false"},
      {"(1==2) / (1==1)", "Boolean false"},
      {"(1==1) % 5", "Boolean false"},
      {"(1==1) + 0.5", "Float 1.5"},
      {"\"abc\" + 1", "error: unsupported binary numeric operation"},
      {"\"abc\" * \"abc\"", "error: unsupported binary numeric operation"},
  });
}

TEST(EvaluateTest, DivisionAndRemainder) {
  expectOutcomes({
      {"7 / 2", "Signed 3"},
      {"-7 / 2", "Signed -3"},
      {"7 / -2", "Signed -3"},
      {"-7 % 2", "Signed -1"},
      {"7 % -2", "Signed 1"},
      {"5 % 0", "Signed 5"},
      {"5 % \"x\"", "Signed 5"},  // remainder by a String, which reads as 0
      {"5 % 2.5", "Signed 1"},    // the right operand truncated
      {"0x8000000000000000 / -1", "Signed -9223372036854775808"},
      {"0x8000000000000000 % -1", "Signed 0"},
      {"7 % -1", "Signed 0"},
      {"5 / 0", "error: divide by zero"},
      {"5 / 0.0", "error: divide by zero"},
      {"5.0 / 0", "error: divide by zero"},
      {"5 / (1==2)", "error: divide by zero"},
      {"5 / (1==1)", "Signed 5"},
      {"5 / \"x\"", "error: unsupported binary numeric operation"},
      {"5.5 % 2", "error: unsupported binary numeric operation"},
      {"\"x\" % 2", "error: unsupported binary numeric operation"},
  });
}

TEST(EvaluateTest, Shifts) {
  expectOutcomes({
      {"1 << 4", "Signed 16"},
      {"1 << 64", "Signed 1"},
      {"1 << 65", "Signed 2"},
      {"1 << -1", "Signed -9223372036854775808"},
      {"-16 >> 2", "Signed -4"},
      {"0x8000000000000000 >> 63", "Signed -1"},
      {"1 << 2 + 1", "Signed 8"},
      {"1 << 1.0", "error: integer shift value expected"},
      {"1 << (1==1)", "error: integer shift value expected"},
      {"1.0 << 1", "error: can only shift numeric values"},
      {"(1==1) << 1", "error: can only shift numeric values"},
      {"\"a\" >> 1", "error: can only shift numeric values"},
  });
}

TEST(EvaluateTest, Comparisons) {
  expectOutcomes({
      {"1 == 1", "Boolean true"},
      {"1 != 1", "Boolean false"},
      {"-1 < 0", "Boolean true"},  // signed
      {"0xFFFFFFFFFFFFFFFF < 0", "Boolean true"},
      {"2 > 1.5", "Boolean true"},  // the right operand truncated to 1
      {"1 >= 1.5", "Boolean true"},
      {"2 <= 1", "Boolean false"},
      {"1 < 2 == 3 < 4", "Boolean true"},
      {"(1==1) == (2==2)", "Boolean true"},
      {"(1==1) == 5", "Boolean true"},
      {"(1==2) < (1==1)", "Boolean true"},
      {"\"abc\" == \"abc\"", "Boolean true"},
      {"\"abc\" < \"abd\"", "Boolean true"},
      {"\"b\" > \"abc\"", "Boolean true"},
      {"\"ab\" < \"abc\"", "Boolean true"},
      {"\"\xC3\xA9\" > \"z\"", "Boolean true"},  // bytes compare unsigned
      {"\"abc\" != \"abc\"", "Boolean false"},
      {"1.5 < 2", "error: unsupported comparison operation"},
  });
}

TEST(EvaluateTest, LogicAndBits) {
  expectOutcomes({
      {"1 && 1", "Signed 1"},
      {"2 && 3", "Signed 1"},
      {"2 && 0", "Signed 0"},
      {"0 || 0", "Signed 0"},
      {"0 || 7", "Signed 1"},
      {"(1==1) && (2==2)", "Boolean true"},
      {"(1==1) || (1==2)", "Boolean true"},
      {"1 || 2 && 0", "Signed 1"},
      {"0 && 1/0", "error: divide by zero"},  // no short-circuit
      {"1 || a", "error: a symbol not found"},
      {"1.0 && 1", "error: unsupported binary numeric operation"},
      {"\"a\" || 1", "error: unsupported binary numeric operation"},
      {"0xF0 | 0x0F", "Signed 255"},
      {"0xFF & 0x0F", "Signed 15"},
      {"0xFF ^ 0x0F", "Signed 240"},
      {"1 | 2 ^ 3 & 4", "Signed 3"},
      {"(1==1) & (1==2)", "Boolean false"},
      {"(1==1) ^ 1", "Boolean false"},
      {"1.0 | 1", "error: unsupported binary numeric operation"},
      {"~0", "Signed -1"},
      {"~0x0F", "Signed -16"},
      {"!0", "Boolean true"},
      {"!5", "Boolean false"},
      {"!0.0", "Boolean true"},
      {"!(1==2)", "Boolean true"},
      {"-(1==1)", "Signed -1"},
      {"~1.5", "error: unsupported unary num operation"},
      {"-\"a\"", "error: unsupported unary num operation"},
      {"!\"a\"", "error: unsupported unary num operation"},
      {"~(1==1)", "error: unsupported unary num operation"},
  });
}

TEST(EvaluateTest, Literals) {
  expectOutcomes({
      {"010", "Signed 8"},
      {"0777", "Signed 511"},
      {"09", "Signed 0"},
      {"0b101", "Signed 5"},
      {"0b", "Signed 0"},
      {"0b2", "Signed 0"},
      {"0x", "Signed 0"},
      {"10UL", "Signed 10"},
      {"0x10ull", "Signed 16"},
      {"4U", "Signed 4"},
      {"4K", "Signed 4"},
      {"0x100 junk", "Signed 256"},
      {"0x100 junk #", "Signed 256"},  // the parse ends before "#" is read
      {"1 @r0", "Signed 1"},
      {"99999999999999999999", "Signed 9223372036854775807"},
      {"0xFFFFFFFFFFFFFFFFF", "Signed -1"},
      {"0b11111111111111111111111111111111111111111111111111111111111111111", "Signed -1"},
      {"1.5", "Float 1.5"},
      {"00.5", "Float 0.5"},
      {"0.1", "Float 0.10000000000000001"},
      {"1000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
       "00000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
       "00000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
       "00000000000000000000000000000000000000000000000000000000000000000000000000000.0",
       "Float inf"},
      {"\"a\\\"b\"", "String \"a\\\"b\""},
      {"\"\"", "String \"\""},
      {"+\"s\"", "String \"s\""},
  });
}

TEST(EvaluateTest, FailureMessages) {
  expectOutcomes({
      {"", "error: unexpected token TOKEN_EOL"},
      {"1 #", "error: unrecognised token: #"},
      {"1\t+ 2", "error: unrecognised token: \t+ 2"},
      {")", "error: unexpected token TOKEN_RPAREN"},
      {"1 +", "error: unexpected token TOKEN_EOL"},
      {"(1", "error: ')' expected"},
      {"1.", "error: identifier expected"},
      {"a + 1", "error: a symbol not found"},
      {"a::b", "error: a::b symbol not found"},
      {"::b", "error: ::b symbol not found"},
      {"a::1", "error: identifier expected"},
      {"@r0", "error: @r0unknown register"},
      {"(char)3", "error: cannot cast"},
      {"(unsigned char *)3", "error: cannot cast"},
      {"(int)3", "error: int symbol not found"},
      {"(struct s)3", "error: struct type not found"},
      {"(struct {int a;})3", "error: struct parse error"},
      {"3 ? 1 : 2", "error: operator not supported"},
      {"1, 2", "error: operator not supported"},
      {"1 >>> 2", "error: operator not supported"},
      {"a >>>= 2", "error: operator not supported"},
      {"1, )", "error: unexpected token TOKEN_RPAREN"},  // the right operand comes first
      {"a = 1", "error: this symbol not found"},
      {"a += 1", "error: this symbol not found"},
      {"(1 + 2) += 3", "error: cannot duplicate expression"},
      {"-a *= 2", "error: this symbol not found"},
      {"a++", "error: this symbol not found"},
      {"--a", "error: this symbol not found"},
      {"--1", "error: this symbol not found"},
      {"*1", "error: cannot dereference"},
      {"*a", "error: a symbol not found"},
      {"&a", "error: addressof not implemented"},
      {"1[2]", "error: cannot dereference"},
      {"1[2:3]", "error: cannot array slice"},
      {"1[2", "error: expected ']'"},
      {"1 .x", "error: cannot dereference"},
      {"1->x", "error: cannot dereference"},
      {"1(2, 3)", "error: function calling not implemented"},
      {"f()", "error: function calling not implemented"},
      {"f(1", "error: ')' expected"},
      {"sizeof(1)", "error: sizeof expression not implemented"},
      {"sizeof(unsigned long)", "error: sizeof(typename) not implemented"},
      {"sizeof 1", "error: '(' expected"},
      {"sizeof(1", "error: ')' expected"},
      {"addressof(1)", "error: addressof not implemented"},
      {"symbolat(\"main.c\", 12)", "error: symbolat not implemented"},
      {"symbolat(1, 2)", "error: string expected"},
      {"symbolat(\"f\" 2)", "error: ',' expected"},
      {"symbolat(\"f\", x)", "error: int expected"},
      {"symbolat(\"f\", 2", "error: ')' expected"},
  });
}

TEST(EvaluateTest, EntryPoints) {
  SimpleExpressionParser parser;
  struct UnsignedCase {
    std::string_view text;
    uint64_t value;
    bool ok;
  };
  for (const UnsignedCase& c : {
           UnsignedCase{"0x20000000 + 16*1024", 536887296, true},
           {"0x40021000", 0x40021000, true},
           {"+0x1C", 0x1C, true},
           {"-1", UINT64_MAX, true},
           {"1.5", 0x3FF8000000000000, true},
           {"5 % 0", 5, true},
           {"5 / 0", 0, false},
           {"", 0, false},
           {"1 == 1", 0, false},
           {"\"7\"", 0, false},
           {"a", 0, false},
       }) {
    bool ok = !c.ok;
    EXPECT_EQ(evaluateUnsigned(parser, c.text, ok), c.value) << c.text;
    EXPECT_EQ(ok, c.ok) << c.text;
  }

  struct SignedCase {
    std::string_view text;
    int64_t value;
    bool ok;
  };
  for (const SignedCase& c : {
           SignedCase{"-1", -1, true},
           {"0xFFFFFFFFFFFFFFFF", -1, true},
           {"1.5", 1, true},
           {"-1.5", -1, true},
           {"7/2.0", 3, true},
           {"1 == 1", 0, false},
           {"", 0, false},
           {"1 #", 0, false},
       }) {
    bool ok = !c.ok;
    EXPECT_EQ(evaluateSigned(parser, c.text, ok), c.value) << c.text;
    EXPECT_EQ(ok, c.ok) << c.text;
  }

  struct ConditionCase {
    std::string_view text;
    bool value;
    bool ok;
  };
  for (const ConditionCase& c : {
           ConditionCase{"1 == 1", true, true},
           {"1 == 2", false, true},
           {"(1==1) && (2==2)", true, true},
           {"\"abc\" == \"abc\"", true, true},
           {"!0", true, true},
           {"1", false, false},
           {"1 && 1", false, false},
           {"2 && 3", false, false},
           {"", false, false},
           {"1 == ", false, false},
       }) {
    bool ok = !c.ok;
    EXPECT_EQ(evaluateCondition(parser, c.text, ok), c.value) << c.text;
    EXPECT_EQ(ok, c.ok) << c.text;
  }
}

TEST(EvaluateTest, DeepInputFailsCleanly) {
  SimpleExpressionParser parser;
  bool ok = true;
  EXPECT_EQ(evaluateUnsigned(parser, std::string(30000, '('), ok), 0u);
  EXPECT_FALSE(ok);
  EXPECT_EQ(evaluateUnsigned(parser, std::string(30000, '(') + "1" + std::string(30000, ')'), ok),
            0u);
  EXPECT_FALSE(ok);
  EXPECT_EQ(evaluateSigned(parser, std::string(60000, '-') + "1", ok), 0);
  EXPECT_FALSE(ok);
  EXPECT_EQ(evaluateSigned(parser, std::string(60000, '~') + "1", ok), 0);
  EXPECT_FALSE(ok);

  // Up to the limit, nesting works.
  const int limit = ExpressionParser::kMaxNesting;
  const std::string nested = std::string(limit - 1, '(') + "7" + std::string(limit - 1, ')');
  EXPECT_EQ(evaluateUnsigned(parser, nested, ok), 7u);
  EXPECT_TRUE(ok);
  std::string negations;
  for (int i = 0; i < limit - 2; ++i) negations += "- ";
  EXPECT_EQ(evaluateSigned(parser, negations + "5", ok), 5);
  EXPECT_TRUE(ok);

  // Long operator chains are not nesting, up to the length limit of a text.
  std::string sum = "1";
  while (sum.size() + 2 <= kMaxExpressionLength) sum += "+1";
  EXPECT_EQ(evaluateUnsigned(parser, sum, ok), (kMaxExpressionLength + 1) / 2);
  EXPECT_TRUE(ok);
  std::string comparisons = "1";
  for (int i = 0; i < 20000; ++i) comparisons += "==1";
  EXPECT_TRUE(evaluateCondition(parser, comparisons, ok));
  EXPECT_TRUE(ok);
  EXPECT_THROW(evaluateUnsigned(parser, sum + "+1", ok), std::length_error);

  // The parser stays usable after all of that.
  EXPECT_EQ(evaluateUnsigned(parser, "2*3", ok), 6u);
  EXPECT_TRUE(ok);
}

}  // namespace
}  // namespace vozo
