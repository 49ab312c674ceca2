#include "expr/token_kind.h"

#include <array>

namespace vozo {

namespace {

constexpr std::array<std::string_view, 58> kNames = {
    "TOKEN_EOL",
    "TOKEN_EOF",
    "TOKEN_SPACE",
    "TOKEN_INTEGER",
    "TOKEN_HEXINTEGER",
    "TOKEN_BININTEGER",
    "TOKEN_FLOAT",
    "TOKEN_STRING",
    "TOKEN_IDENT",
    "TOKEN_REGISTER",
    "TOKEN_SEMICOLON",
    "TOKEN_COLON",
    "TOKEN_COLONCOLON",
    "TOKEN_LPAREN",
    "TOKEN_RPAREN",
    "TOKEN_LBRACK",
    "TOKEN_RBRACK",
    "TOKEN_LCURLY",
    "TOKEN_RCURLY",
    "TOKEN_DOT",
    "TOKEN_POINTSAT",
    "TOKEN_INCREMENT",
    "TOKEN_DECREMENT",
    "TOKEN_BITNOT",
    "TOKEN_LOGNOT",
    "TOKEN_STAR",
    "TOKEN_SLASH",
    "TOKEN_MOD",
    "TOKEN_PLUS",
    "TOKEN_MINUS",
    "TOKEN_LSHIFT",
    "TOKEN_RSHIFT",
    "TOKEN_ARSHIFT",
    "TOKEN_LT",
    "TOKEN_LE",
    "TOKEN_GT",
    "TOKEN_GE",
    "TOKEN_EQ",
    "TOKEN_NE",
    "TOKEN_BITAND",
    "TOKEN_BITXOR",
    "TOKEN_BITOR",
    "TOKEN_LOGAND",
    "TOKEN_LOGOR",
    "TOKEN_CONDITION",
    "TOKEN_ASSIGN",
    "TOKEN_PLUS_ASSIGN",
    "TOKEN_MINUS_ASSIGN",
    "TOKEN_STAR_ASSIGN",
    "TOKEN_DIV_ASSIGN",
    "TOKEN_MOD_ASSIGN",
    "TOKEN_RSHIFT_ASSIGN",
    "TOKEN_LSHIFT_ASSIGN",
    "TOKEN_ARSHIFT_ASSIGN",
    "TOKEN_BITAND_ASSIGN",
    "TOKEN_BITXOR_ASSIGN",
    "TOKEN_BITOR_ASSIGN",
    "TOKEN_COMMA",
};

}  // namespace

std::string_view tokenKindName(int kind) {
  if (kind < 0 || static_cast<size_t>(kind) >= kNames.size()) return "TOKEN_UNKNOWN";
  return kNames[static_cast<size_t>(kind)];
}

}  // namespace vozo
