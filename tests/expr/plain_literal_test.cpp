// The shortcut for bare literals must give exactly what the full parse gives,
// and must take the common attribute texts.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "expr/parser_exception.h"
#include "expr/plain_literal.h"
#include "expr/simple_expression_parser.h"

namespace vozo {
namespace {

// Checks one text: when the shortcut gives a value, the full parse must give
// the same kind, payload and size. Returns whether the shortcut applied.
bool checkAgainstFullParse(SimpleExpressionParser& parser, const std::string& text) {
  const std::optional<ExpressionValue> shortcut = evaluatePlainLiteral(text);
  if (!shortcut) return false;
  try {
    const ExpressionValue full = parser.parse(text).evaluate();
    EXPECT_EQ(full.valueKind, shortcut->valueKind) << text;
    EXPECT_EQ(full.payload, shortcut->payload) << text;
    EXPECT_EQ(full.byteSize, shortcut->byteSize) << text;
    EXPECT_EQ(full.bitWidth, shortcut->bitWidth) << text;
  } catch (const ParserException& e) {
    ADD_FAILURE() << text << ": shortcut gave a value, full parse failed: " << e.message();
  }
  return true;
}

TEST(PlainLiteralTest, TakesCommonTexts) {
  SimpleExpressionParser parser;
  for (const char* text : {"0x40021000", "+0x1C", "32", "0", "+0", "0X1f", "999999999999999999",
                           "0xFFFFFFFFFFFFFFFF", "0x8000000000000000", "1"}) {
    EXPECT_TRUE(checkAgainstFullParse(parser, text)) << text;
  }
}

TEST(PlainLiteralTest, LeavesOtherTextsToTheParser) {
  for (const char* text : {"", "+", "++1", "010", "09", "0x", "0x1G", "1 ", " 1", "1U", "0b1",
                           "1.5", "-1", "1000000000000000000", "0x00000000000000001", "1+1"}) {
    EXPECT_FALSE(evaluatePlainLiteral(text).has_value()) << text;
  }
}

TEST(PlainLiteralTest, AgreesWithTheFullParseOnGeneratedTexts) {
  SimpleExpressionParser parser;
  std::mt19937 random(12345);
  const std::string alphabet = "0123456789abcdefABCDEFxX+ UL-";
  int applied = 0;
  for (int i = 0; i < 100000; ++i) {
    std::string text;
    const int length = static_cast<int>(random() % 22);
    // Most texts start like a literal, so that the shortcut applies often.
    if (random() % 2 == 0) text = random() % 2 == 0 ? "0x" : "+";
    for (int j = 0; j < length; ++j) {
      const size_t pool = random() % 4 == 0 ? alphabet.size() : 22;  // mostly digits
      text += alphabet[random() % pool];
    }
    if (checkAgainstFullParse(parser, text)) ++applied;
  }
  EXPECT_GT(applied, 10000);
}

}  // namespace
}  // namespace vozo
