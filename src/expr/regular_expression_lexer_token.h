#pragma once
// A token recogniser defined by a regular expression (PCRE2, 8-bit code
// units, no UTF mode: \d is [0-9]). The pattern is compiled, anchored, when
// it is first matched, not when the recogniser is made: most runs need few of
// the patterns or none, and compiling them all would cost more than such a
// run's own work. Matching is interpreted at first; after kJitAfterMatches
// matches a copy made with the JIT compiler (where the platform has one)
// takes over, which pays off only in long runs. A match must start at the
// read position and be non-empty.

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "expr/lexer_token.h"

namespace vozo {

class RegularExpressionLexerToken : public LexerToken {
 public:
  // `firstBytes` lists every byte with which a match can begin (the lexer
  // skips the recogniser for any other byte). Matching throws
  // std::logic_error when the pattern does not compile.
  RegularExpressionLexerToken(std::string_view pattern, std::string_view firstBytes,
                              TokenKind kind, int precedence);
  ~RegularExpressionLexerToken() override;

  // Throws ParserException when the matcher itself fails (a resource limit),
  // which these patterns do not reach.
  size_t match(std::string_view rest) const override;
  ByteSet firstBytes() const override { return firstBytes_; }

  static constexpr unsigned kJitAfterMatches = 64;

 private:
  struct Compiled;
  // The code to match with: the JIT copy once there is one.
  const Compiled& compiled() const;

  std::string pattern_;
  ByteSet firstBytes_;
  mutable std::once_flag compileOnce_, jitOnce_;
  mutable std::unique_ptr<Compiled> interpreted_, jitted_;
  mutable std::atomic<const Compiled*> current_{nullptr};
  mutable std::atomic<unsigned> matches_{0};
};

}  // namespace vozo
