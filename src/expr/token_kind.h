#pragma once
// Token kinds of the expression lexer, with their fixed numbers.

#include <string_view>

namespace vozo {

enum TokenKind : int {
  TOKEN_EOL = 0,  // end of the input
  TOKEN_EOF = 1,
  TOKEN_SPACE = 2,
  TOKEN_INTEGER = 3,
  TOKEN_HEXINTEGER = 4,
  TOKEN_BININTEGER = 5,
  TOKEN_FLOAT = 6,
  TOKEN_STRING = 7,
  TOKEN_IDENT = 8,
  TOKEN_REGISTER = 9,
  TOKEN_SEMICOLON = 10,
  TOKEN_COLON = 11,
  TOKEN_COLONCOLON = 12,
  TOKEN_LPAREN = 13,
  TOKEN_RPAREN = 14,
  TOKEN_LBRACK = 15,
  TOKEN_RBRACK = 16,
  TOKEN_LCURLY = 17,
  TOKEN_RCURLY = 18,
  TOKEN_DOT = 19,
  TOKEN_POINTSAT = 20,
  TOKEN_INCREMENT = 21,
  TOKEN_DECREMENT = 22,
  TOKEN_BITNOT = 23,
  TOKEN_LOGNOT = 24,
  TOKEN_STAR = 25,
  TOKEN_SLASH = 26,
  TOKEN_MOD = 27,
  TOKEN_PLUS = 28,
  TOKEN_MINUS = 29,
  TOKEN_LSHIFT = 30,
  TOKEN_RSHIFT = 31,
  TOKEN_ARSHIFT = 32,
  TOKEN_LT = 33,
  TOKEN_LE = 34,
  TOKEN_GT = 35,
  TOKEN_GE = 36,
  TOKEN_EQ = 37,
  TOKEN_NE = 38,
  TOKEN_BITAND = 39,
  TOKEN_BITXOR = 40,
  TOKEN_BITOR = 41,
  TOKEN_LOGAND = 42,
  TOKEN_LOGOR = 43,
  TOKEN_CONDITION = 44,
  TOKEN_ASSIGN = 45,
  TOKEN_PLUS_ASSIGN = 46,
  TOKEN_MINUS_ASSIGN = 47,
  TOKEN_STAR_ASSIGN = 48,
  TOKEN_DIV_ASSIGN = 49,
  TOKEN_MOD_ASSIGN = 50,
  TOKEN_RSHIFT_ASSIGN = 51,
  TOKEN_LSHIFT_ASSIGN = 52,
  TOKEN_ARSHIFT_ASSIGN = 53,
  TOKEN_BITAND_ASSIGN = 54,
  TOKEN_BITXOR_ASSIGN = 55,
  TOKEN_BITOR_ASSIGN = 56,
  TOKEN_COMMA = 57,
};

// Precedence of tokens that are not binary operators.
inline constexpr int kNoPrecedence = 10;

// "TOKEN_IDENT" and so on; "TOKEN_UNKNOWN" for a number without a name.
std::string_view tokenKindName(int kind);

}  // namespace vozo
