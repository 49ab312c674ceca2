// The lexer's interface: pushed input, kind names, and the first bytes each
// recogniser declares.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "expr/c_style_lexer.h"

namespace vozo {
namespace {

using Tokens = std::vector<std::pair<TokenKind, std::string>>;

// Where reading stopped, or "(no error)".
std::string lexError(std::string_view text) {
  CStyleLexer lexer;
  lexer.reset(text);
  while (lexer.next().kind != TOKEN_EOL) {
  }
  return lexer.unrecognised().empty() ? "(no error)" : std::string(lexer.unrecognised());
}

// A NUL byte cannot come from a file's attribute; every other unrecognised
// token, literal form and separator is pinned end to end by the golden case
// expr_evaluator_table.
TEST(LexerTest, NulByteIsUnrecognised) {
  EXPECT_EQ(lexError(std::string_view("1\0", 2)), std::string_view("\0", 1));
  EXPECT_EQ(lexError("1 + 2"), "(no error)");
}

TEST(LexerTest, PushedInputIsReadBeforeTheRest) {
  CStyleLexer lexer;
  lexer.reset("a - b");
  EXPECT_EQ(lexer.next().text, "a");
  lexer.pushInput("(1 +");
  lexer.pushInput("");
  EXPECT_EQ(lexer.pushedInputCount(), 2u);
  Tokens tokens;
  for (const Token* t = &lexer.next(); t->kind != TOKEN_EOL; t = &lexer.next()) {
    tokens.emplace_back(t->kind, std::string(t->text));
  }
  const Tokens expected = {{TOKEN_LPAREN, "("},
                           {TOKEN_INTEGER, "1"},
                           {TOKEN_PLUS, "+"},
                           {TOKEN_MINUS, "-"},
                           {TOKEN_IDENT, "b"}};
  EXPECT_EQ(tokens, expected);
  EXPECT_EQ(lexer.next().kind, TOKEN_EOL);  // stays at the end
}

TEST(LexerTest, KindNamesOutsideTheTable) {
  EXPECT_EQ(tokenKindName(58), "TOKEN_UNKNOWN");
  EXPECT_EQ(tokenKindName(-1), "TOKEN_UNKNOWN");
}

// The lexer tries a recogniser only at the bytes it declares as first
// bytes: a byte missing there would make a valid token unrecognised.
TEST(LexerTest, EveryTokenBeginsWithADeclaredFirstByte) {
  for (const LexerToken* recogniser : CStyleLexer::recognisers()) {
    for (unsigned byte = 0; byte < 256; ++byte) {
      for (std::string_view tail : {"", "0", "1.5", "x1F", "b01", "a_$", "=", "<=", "\"\""}) {
        const std::string text = std::string(1, static_cast<char>(byte)) + std::string(tail);
        if (recogniser->match(text) != 0) {
          EXPECT_TRUE(recogniser->firstBytes().contains(static_cast<unsigned char>(byte)))
              << tokenKindName(recogniser->kind()) << " matches " << text;
        }
      }
    }
  }
}

}  // namespace
}  // namespace vozo
