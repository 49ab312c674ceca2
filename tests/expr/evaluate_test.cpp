// The evaluator's entry points.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "expr/evaluate.h"
#include "expr/h_exception.h"

namespace vozo {
namespace {

// Values, kinds and failure messages of every operator group are pinned end
// to end by the golden case expr_evaluator_table (segment starts and sizes),
// the conditions and signed entry point by pp_directive_table. Here: the
// entry points' answer for an empty text, and the limits.

TEST(EvaluateTest, EmptyTextIsNoValue) {
  SimpleExpressionParser parser;
  bool ok = true;
  EXPECT_EQ(evaluateUnsigned(parser, "", ok), 0u);
  EXPECT_FALSE(ok);
  ok = true;
  EXPECT_EQ(evaluateSigned(parser, "", ok), 0);
  EXPECT_FALSE(ok);
  ok = true;
  EXPECT_FALSE(evaluateCondition(parser, "", ok));
  EXPECT_FALSE(ok);
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
  EXPECT_THROW(evaluateUnsigned(parser, sum + "+1", ok), HException);

  // The parser stays usable after all of that.
  EXPECT_EQ(evaluateUnsigned(parser, "2*3", ok), 6u);
  EXPECT_TRUE(ok);
}

}  // namespace
}  // namespace vozo
