#pragma once
// The reference for the lexer's number, name and register recognisers: the
// six token patterns compiled by PCRE2 on UTF-8 text with Unicode properties,
// so that \d is any decimal digit (category Nd), a malformed sequence matches
// nothing, and the match is anchored at the start of the text. Used by the tests and the
// fuzz target that compare the two; the program itself does not link PCRE2.

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <array>
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "expr/c_style_lexer.h"

namespace vozo::reference {

struct TokenPattern {
  TokenKind kind;
  std::string_view pattern;
};

inline constexpr std::array<TokenPattern, 6> kTokenPatterns = {{
    {TOKEN_HEXINTEGER, "0[Xx][0-9A-Fa-f]*U?L?L?u?l?l?"},
    {TOKEN_BININTEGER, "0b[0-1]*"},
    {TOKEN_FLOAT, "\\d+\\.\\d+"},
    {TOKEN_INTEGER, "\\d+U?L?L?u?l?l?"},
    {TOKEN_IDENT, "[A-Za-z_$][A-Za-z_0-9$]*"},
    {TOKEN_REGISTER, "@[A-Za-z_0-9]*"},
}};

// One compiled pattern and the lexer's recogniser of the same token kind.
class PatternPair {
 public:
  explicit PatternPair(const TokenPattern& pattern)
      : pattern_(pattern), recogniser_(recogniserOf(pattern.kind)) {
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    code_.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.pattern.data()),
                              pattern.pattern.size(),
                              PCRE2_ANCHORED | PCRE2_NO_START_OPTIMIZE | PCRE2_UTF | PCRE2_UCP |
                                  PCRE2_MATCH_INVALID_UTF,
                              &error, &errorOffset, nullptr));
    if (!code_ || !matchData_) {
      throw std::logic_error("cannot compile " + std::string(pattern.pattern));
    }
  }

  std::string_view pattern() const { return pattern_.pattern; }
  TokenKind kind() const { return pattern_.kind; }

  // Length of the pattern's match at the start of `text`; 0 when none.
  size_t patternLength(std::string_view text) const {
    const int rc = pcre2_match(code_.get(), reinterpret_cast<PCRE2_SPTR>(text.data()),
                               text.size(), 0, 0, matchData_.get(), nullptr);
    if (rc == PCRE2_ERROR_NOMATCH) return 0;
    if (rc < 0) throw std::runtime_error("pcre2_match failed: " + std::to_string(rc));
    // A malformed sequence at the start is skipped rather than matched, so
    // even an anchored match may begin after it: that is no token here.
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(matchData_.get());
    return ovector[0] == 0 ? ovector[1] : 0;
  }

  // Length of the lexer recogniser's token at the start of `text`.
  size_t recogniserLength(std::string_view text) const { return recogniser_->match(text); }

 private:
  static const LexerToken* recogniserOf(TokenKind kind) {
    for (const LexerToken* recogniser : CStyleLexer::recognisers()) {
      if (recogniser->kind() == kind) return recogniser;
    }
    throw std::logic_error("the lexer has no recogniser of kind " +
                           std::string(tokenKindName(kind)));
  }

  struct CodeDeleter {
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
  };
  struct MatchDataDeleter {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
  };

  TokenPattern pattern_;
  const LexerToken* recogniser_;
  std::unique_ptr<pcre2_code, CodeDeleter> code_;
  std::unique_ptr<pcre2_match_data, MatchDataDeleter> matchData_{
      pcre2_match_data_create(1, nullptr)};
};

// All six pairs, in the lexer's order.
inline std::array<PatternPair, 6> makePatternPairs() {
  return {PatternPair(kTokenPatterns[0]), PatternPair(kTokenPatterns[1]),
          PatternPair(kTokenPatterns[2]), PatternPair(kTokenPatterns[3]),
          PatternPair(kTokenPatterns[4]), PatternPair(kTokenPatterns[5])};
}

}  // namespace vozo::reference
