// The lexer: first match wins in table order, space separators are skipped,
// anything else that no recogniser takes is an error.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "expr/c_style_lexer.h"
#include "expr/parser_exception.h"

namespace vozo {
namespace {

using Tokens = std::vector<std::pair<TokenKind, std::string>>;

Tokens lex(std::string_view text) {
  CStyleLexer lexer;
  lexer.reset(text);
  Tokens tokens;
  for (const Token* t = &lexer.next(); t->kind != TOKEN_EOL; t = &lexer.next()) {
    tokens.emplace_back(t->kind, std::string(t->text));
  }
  return tokens;
}

std::string lexError(std::string_view text) {
  try {
    lex(text);
  } catch (const ParserException& e) {
    return e.message();
  }
  return "(no error)";
}

TEST(LexerTest, FirstMatchInTableOrder) {
  struct Case {
    std::string_view text;
    Tokens tokens;
  };
  const Case cases[] = {
      {"a<<=b", {{TOKEN_IDENT, "a"}, {TOKEN_LSHIFT_ASSIGN, "<<="}, {TOKEN_IDENT, "b"}}},
      {"<<", {{TOKEN_LSHIFT, "<<"}}},
      {"<=", {{TOKEN_LE, "<="}}},
      {"<", {{TOKEN_LT, "<"}}},
      {">>>=", {{TOKEN_ARSHIFT_ASSIGN, ">>>="}}},
      {">>>>", {{TOKEN_ARSHIFT, ">>>"}, {TOKEN_GT, ">"}}},
      {">>=", {{TOKEN_RSHIFT_ASSIGN, ">>="}}},
      {"->", {{TOKEN_POINTSAT, "->"}}},
      {"---", {{TOKEN_DECREMENT, "--"}, {TOKEN_MINUS, "-"}}},
      {"-=", {{TOKEN_MINUS_ASSIGN, "-="}}},
      {"!==", {{TOKEN_NE, "!="}, {TOKEN_ASSIGN, "="}}},
      {"&&&", {{TOKEN_LOGAND, "&&"}, {TOKEN_BITAND, "&"}}},
      {"&=", {{TOKEN_BITAND_ASSIGN, "&="}}},
      {"|||=", {{TOKEN_LOGOR, "||"}, {TOKEN_BITOR_ASSIGN, "|="}}},
      {":::", {{TOKEN_COLONCOLON, "::"}, {TOKEN_COLON, ":"}}},
      {"?,;", {{TOKEN_CONDITION, "?"}, {TOKEN_COMMA, ","}, {TOKEN_SEMICOLON, ";"}}},
      {"([{}])",
       {{TOKEN_LPAREN, "("},
        {TOKEN_LBRACK, "["},
        {TOKEN_LCURLY, "{"},
        {TOKEN_RCURLY, "}"},
        {TOKEN_RBRACK, "]"},
        {TOKEN_RPAREN, ")"}}},
      {"~!*/%^",
       {{TOKEN_BITNOT, "~"},
        {TOKEN_LOGNOT, "!"},
        {TOKEN_STAR, "*"},
        {TOKEN_SLASH, "/"},
        {TOKEN_MOD, "%"},
        {TOKEN_BITXOR, "^"}}},
  };
  for (const Case& c : cases) EXPECT_EQ(lex(c.text), c.tokens) << c.text;
}

TEST(LexerTest, Literals) {
  struct Case {
    std::string_view text;
    Tokens tokens;
  };
  const Case cases[] = {
      {"4K", {{TOKEN_INTEGER, "4"}, {TOKEN_IDENT, "K"}}},
      {"10UL", {{TOKEN_INTEGER, "10UL"}}},
      {"10ULLul", {{TOKEN_INTEGER, "10ULLul"}}},
      {"10LU", {{TOKEN_INTEGER, "10L"}, {TOKEN_IDENT, "U"}}},
      {"0x1Fu", {{TOKEN_HEXINTEGER, "0x1Fu"}}},
      {"0X", {{TOKEN_HEXINTEGER, "0X"}}},
      {"0xg", {{TOKEN_HEXINTEGER, "0x"}, {TOKEN_IDENT, "g"}}},
      {"0b1012", {{TOKEN_BININTEGER, "0b101"}, {TOKEN_INTEGER, "2"}}},
      {"0B1", {{TOKEN_INTEGER, "0"}, {TOKEN_IDENT, "B1"}}},
      {"12.50", {{TOKEN_FLOAT, "12.50"}}},
      {"1.", {{TOKEN_INTEGER, "1"}, {TOKEN_DOT, "."}}},
      {".5", {{TOKEN_DOT, "."}, {TOKEN_INTEGER, "5"}}},
      {"1.5e3", {{TOKEN_FLOAT, "1.5"}, {TOKEN_IDENT, "e3"}}},
      {"_a$1", {{TOKEN_IDENT, "_a$1"}}},
      {"@r0 @", {{TOKEN_REGISTER, "@r0"}, {TOKEN_REGISTER, "@"}}},
      {R"("a\"b" "")", {{TOKEN_STRING, R"("a\"b")"}, {TOKEN_STRING, R"("")"}}},
      {"\"a\\\\\"b\"", {{TOKEN_STRING, "\"a\\\\\"b\""}}},  // a quote after any backslash is kept
  };
  for (const Case& c : cases) EXPECT_EQ(lex(c.text), c.tokens) << c.text;
}

TEST(LexerTest, OnlySpaceSeparatorsSeparate) {
  const Tokens oneTwo = {{TOKEN_INTEGER, "1"}, {TOKEN_PLUS, "+"}, {TOKEN_INTEGER, "2"}};
  for (std::string_view text :
       {"1+2", "  1 +  2  ", "1\u00A0+\u30002", "1\u2009\u202F+\u205F2", "1\u1680+2"}) {
    EXPECT_EQ(lex(text), oneTwo) << text;
  }
  EXPECT_EQ(lex(""), Tokens{});
  EXPECT_EQ(lex("   "), Tokens{});
}

TEST(LexerTest, UnrecognisedTokens) {
  struct Case {
    std::string_view text;
    std::string_view message;
  };
  const Case cases[] = {
      {"1 #", "unrecognised token: #"},
      {"1\t+ 2", "unrecognised token: \t+ 2"},
      {"1\n", "unrecognised token: \n"},
      {"\"abc", "unrecognised token: \"abc"},
      {"\"a\\\"", "unrecognised token: \"a\\\""},
      {"a\u200Bb", "unrecognised token: \u200Bb"},   // zero width space is not Zs
      {"1\xC2", "unrecognised token: \xC2"},         // truncated UTF-8
      {"\xC0\xA0", "unrecognised token: \xC0\xA0"},  // overlong encoding of U+0020
      {"`", "unrecognised token: `"},
      {std::string_view("1\0", 2), std::string_view("unrecognised token: \0", 21)},
  };
  for (const Case& c : cases) EXPECT_EQ(lexError(c.text), c.message) << c.text;
}

TEST(LexerTest, Precedences) {
  struct Case {
    std::string_view text;
    int precedence;
  };
  const Case cases[] = {{",", -4}, {"+=", -3}, {">>>=", -3}, {"=", -2}, {"?", -1}, {"||", 0},
                        {"&&", 1}, {"|", 2},   {"^", 3},     {"&", 4},  {"!=", 5}, {"==", 5},
                        {"<", 6},  {">=", 6},  {">>>", 7},   {"<<", 7}, {"-", 8},  {"%", 9},
                        {"!", 10}, {"~", 10},  {"(", 10},    {"1", 10}};
  CStyleLexer lexer;
  for (const Case& c : cases) {
    lexer.reset(c.text);
    EXPECT_EQ(lexer.next().precedence, c.precedence) << c.text;
  }
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

TEST(LexerTest, KindNames) {
  EXPECT_EQ(tokenKindName(TOKEN_EOL), "TOKEN_EOL");
  EXPECT_EQ(tokenKindName(TOKEN_IDENT), "TOKEN_IDENT");
  EXPECT_EQ(tokenKindName(TOKEN_RPAREN), "TOKEN_RPAREN");
  EXPECT_EQ(tokenKindName(TOKEN_ARSHIFT_ASSIGN), "TOKEN_ARSHIFT_ASSIGN");
  EXPECT_EQ(tokenKindName(TOKEN_COMMA), "TOKEN_COMMA");
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
