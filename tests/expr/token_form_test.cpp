// The lexer's number, name and register recognisers against the token
// patterns they replace, compiled by PCRE2: for every text both must give
// the same token length. A table of texts that probe backtracking, suffix
// order and bytes above 0x7F, then every short text over the bytes that
// matter to these forms.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "expr/token_pattern_reference.h"

namespace vozo {
namespace {

using reference::makePatternPairs;
using reference::PatternPair;

void expectSameLengths(const std::array<PatternPair, 6>& pairs, std::string_view text) {
  for (const PatternPair& pair : pairs) {
    ASSERT_EQ(pair.recogniserLength(text), pair.patternLength(text))
        << pair.pattern() << " on \"" << text << "\" (" << text.size() << " bytes)";
  }
}

TEST(TokenFormTest, EdgeCasesMatchAsThePatternsDo) {
  using namespace std::string_literals;
  const std::string longDigits(5000, '7');
  const std::string texts[] = {
      // Floats need digits on both sides of the point; the first point ends it.
      "12.", "12.x", ".5", "12.5", "12.5.3", "1..2", "0.0", "00.7e3", "12 .5",
      // Suffix letters are each optional, in the order U L L u l l.
      "1U", "1UL", "1ULL", "1ULLu", "1ULLul", "1ULLull", "1ULLulll", "1LU", "1uU", "1lL",
      "1Ull", "1LLL", "1ulU", "1Lu", "1u", "1l", "1ll", "1lu",
      // Hex: "0x" alone is a token, digits of both cases, then the suffix.
      "0x", "0X", "0xg", "0x1fF", "0xAbCdEfU", "0x10ULLull", "0xLU", "0xl", "0x1.5", "0xx1",
      // Binary: lower-case b only, digits 0 and 1 only.
      "0b", "0B1", "0b102", "0b1U", "0b.1", "00b1",
      // Integers, identifiers and registers around their edges.
      "0", "007", "9a", "1$", "_", "$", "$9", "a$b_9", "Z@", "x.y", "@", "@@", "@a$",
      "@_9Z", "@.", "a-b",
      // Decimal digits of every script (Arabic-Indic one, fullwidth five,
      // mathematical bold zero), malformed and cut-off sequences, Latin-1
      // bytes, a no-break space: only whole Nd code points are digits.
      "\xD9\xA1", "1\xD9\xA1", "1.\xD9\xA1", "\xD9\xA1.\xEF\xBC\x95", "\xEF\xBC\x95U",
      "\xF0\x9D\x9F\x8E" "1", "\xD9", "1\xD9", "1.\xD9", "\xC0\xB0", "\xE0\x80\xB0", "\xB9",
      "a\xE9", "@\xE9", "0x\xAA", "1\xC2\xA0", "\xD9\xAA", "\xEF\xBC\x9A",
      "1\0"s, "\0 1"s, "12\0.5"s, "",
      // Long runs.
      longDigits, longDigits + "." + longDigits, longDigits + ".", "0x" + longDigits + "ULL",
  };
  const auto pairs = makePatternPairs();
  for (const std::string& text : texts) expectSameLengths(pairs, text);
}

// Every text of up to five bytes from an alphabet holding each byte class
// the forms tell apart, plus the bytes of U+0661 (D9 A1), a digit, and the
// lead byte of a three-byte sequence, so that whole, cut-off and malformed
// sequences all occur.
TEST(TokenFormTest, EveryShortTextMatchesAsThePatternsDo) {
  constexpr std::string_view alphabet = "019xXb.ULula_$@Z\xD9\xA1\xEF";
  constexpr size_t maxLength = 5;
  const auto pairs = makePatternPairs();
  std::string text;
  // Counts through all texts of each length like an odometer over the
  // alphabet's indices.
  for (size_t length = 0; length <= maxLength; ++length) {
    std::vector<size_t> digits(length, 0);
    for (;;) {
      text.clear();
      for (const size_t digit : digits) text += alphabet[digit];
      expectSameLengths(pairs, text);
      if (testing::Test::HasFatalFailure()) return;
      size_t position = 0;
      while (position < length && ++digits[position] == alphabet.size()) {
        digits[position++] = 0;
      }
      if (position == length) break;
    }
  }
}

}  // namespace
}  // namespace vozo
