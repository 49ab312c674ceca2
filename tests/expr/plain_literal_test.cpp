// The shortcut for bare literals and their sums and products must give
// exactly what the full parse gives, and must take the common attribute
// texts.

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "expr/plain_literal.h"
#include "expr/simple_expression_parser.h"

namespace vozo {
namespace {

// Checks one text: when the shortcut gives a value, the full parse must give
// the same kind, payload and size. Returns whether the shortcut applied.
bool checkAgainstFullParse(SimpleExpressionParser& parser, const std::string& text) {
  const std::optional<ExpressionValue> shortcut = evaluatePlainArithmetic(text);
  if (!shortcut) return false;
  const Outcome<const Expression*> tree = parser.parse(text);
  const Outcome<ExpressionValue> full = tree ? (*tree)->evaluate() : Failure{tree.message()};
  if (!full) {
    ADD_FAILURE() << text << ": shortcut gave a value, full parse failed: " << full.message();
    return true;
  }
  EXPECT_EQ(full->valueKind, shortcut->valueKind) << text;
  EXPECT_EQ(full->payload, shortcut->payload) << text;
  EXPECT_EQ(full->byteSize, shortcut->byteSize) << text;
  EXPECT_EQ(full->bitWidth, shortcut->bitWidth) << text;
  return true;
}

TEST(PlainLiteralTest, TakesCommonTexts) {
  SimpleExpressionParser parser;
  for (const char* text : {"0x40021000", "+0x1C", "32", "0", "+0", "0X1f", "999999999999999999",
                           "0xFFFFFFFFFFFFFFFF", "0x8000000000000000", "1", "1 ", "16*1024*1024",
                           "512*1024", "536870912 + 0x1000000", "0x40000000 + 5*0x400", "1-2",
                           "0 - 0xFFFFFFFFFFFFFFFF * 3 + 1", "0x8000000000000000*2", "+4*4"}) {
    EXPECT_TRUE(checkAgainstFullParse(parser, text)) << text;
  }
}

TEST(PlainLiteralTest, LeavesOtherTextsToTheParser) {
  for (const char* text : {"", "+", "++1", "010", "09", "0x", "0x1G", " 1", "1U", "0b1", "1.5",
                           "-1", "1000000000000000000", "0x00000000000000001", "1++1", "1+-1",
                           "1--1", "1  +1", "1+ ", "1/2", "(1+1)", "1 2", "4K", "2*0x", "1+1U"}) {
    EXPECT_FALSE(evaluatePlainArithmetic(text).has_value()) << text;
  }
}

TEST(PlainLiteralTest, AgreesWithTheFullParseOnGeneratedTexts) {
  SimpleExpressionParser parser;
  std::mt19937 random(12345);
  const std::string alphabet = "0123456789abcdefABCDEFxX+ UL-*/";
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

// Sums and products of literals of every size, wrapping included.
TEST(PlainLiteralTest, AgreesWithTheFullParseOnGeneratedArithmetic) {
  SimpleExpressionParser parser;
  std::mt19937_64 random(54321);
  auto literal = [&] {
    const uint64_t value = random() >> (random() % 64);
    char text[24];
    if (random() % 2 == 0) {
      std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    } else {
      std::snprintf(text, sizeof text, "%llu",
                    static_cast<unsigned long long>(value % 1000000000000000000ULL));
    }
    return std::string(text);
  };
  for (int i = 0; i < 20000; ++i) {
    std::string text = random() % 4 == 0 ? "+" : "";
    text += literal();
    const int operators = static_cast<int>(random() % 5);
    for (int j = 0; j < operators; ++j) {
      if (random() % 2 == 0) text += ' ';
      text += "+-*"[random() % 3];
      if (random() % 2 == 0) text += ' ';
      text += literal();
    }
    EXPECT_TRUE(checkAgainstFullParse(parser, text)) << text;
  }
}

}  // namespace
}  // namespace vozo
