#pragma once
// A token recogniser defined by a regular expression (PCRE2, 8-bit code
// units, no UTF mode: \d is [0-9]). The pattern is compiled once, anchored,
// and with the JIT compiler when the platform has one. A match must start at
// the read position and be non-empty.

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "expr/lexer_token.h"

namespace vozo {

class RegularExpressionLexerToken : public LexerToken {
 public:
  // Throws std::logic_error when the pattern does not compile.
  RegularExpressionLexerToken(std::string_view pattern, TokenKind kind, int precedence);
  ~RegularExpressionLexerToken() override;

  // Throws ParserException when the matcher itself fails (a resource limit),
  // which these patterns do not reach.
  size_t match(std::string_view rest) const override;
  bool mayStartWith(unsigned char byte) const override;

 private:
  struct Compiled;
  std::unique_ptr<Compiled> compiled_;
  // Bytes with which a match can begin, from the compiled pattern's own
  // start-of-match analysis; all bytes when it has none.
  std::array<uint64_t, 4> firstBytes_{};
};

}  // namespace vozo
