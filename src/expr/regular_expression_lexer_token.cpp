#define PCRE2_CODE_UNIT_WIDTH 8
#include "expr/regular_expression_lexer_token.h"

#include <pcre2.h>

#include <new>
#include <stdexcept>
#include <string>

#include "expr/parser_exception.h"

namespace vozo {

namespace {

struct MatchDataDeleter {
  void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};

// One match block per thread, shared by all patterns: a match only needs the
// start and end of the whole match, and matches never overlap in time.
pcre2_match_data* matchData() {
  thread_local std::unique_ptr<pcre2_match_data, MatchDataDeleter> data(
      pcre2_match_data_create(1, nullptr));
  if (!data) throw std::bad_alloc();
  return data.get();
}

std::string pcre2Message(int code) {
  PCRE2_UCHAR buffer[256];
  if (pcre2_get_error_message(code, buffer, sizeof buffer) < 0)
    return "error " + std::to_string(code);
  return reinterpret_cast<const char*>(buffer);
}

}  // namespace

struct RegularExpressionLexerToken::Compiled {
  pcre2_code* code = nullptr;
  bool jit = false;
  ~Compiled() { pcre2_code_free(code); }
};

RegularExpressionLexerToken::RegularExpressionLexerToken(std::string_view pattern,
                                                         std::string_view firstBytes,
                                                         TokenKind kind, int precedence)
    : LexerToken(kind, precedence), pattern_(pattern), firstBytes_(firstBytes) {}

const RegularExpressionLexerToken::Compiled& RegularExpressionLexerToken::compiled() const {
  std::call_once(compileOnce_, [this] {
    auto compiled = std::make_unique<Compiled>();
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    // Without start optimisations: a token is matched at the start of the
    // rest of the text only, and the search for a code unit the pattern
    // requires (the "." of a float, say) would scan the whole rest before
    // each failing attempt, making long texts quadratic.
    compiled->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern_.data()), pattern_.size(),
                                   PCRE2_ANCHORED | PCRE2_NO_START_OPTIMIZE, &error, &errorOffset,
                                   nullptr);
    if (compiled->code == nullptr) {
      throw std::logic_error("token pattern " + pattern_ + ": " + pcre2Message(error));
    }
    interpreted_ = std::move(compiled);
    current_.store(interpreted_.get(), std::memory_order_release);
  });
  if (matches_.fetch_add(1, std::memory_order_relaxed) == kJitAfterMatches) {
    // A separate copy, so that matches running meanwhile in other threads
    // never see code that is being changed.
    std::call_once(jitOnce_, [this] {
      auto jitted = std::make_unique<Compiled>();
      jitted->code = pcre2_code_copy(interpreted_->code);
      if (jitted->code == nullptr) throw std::bad_alloc();
      jitted->jit = pcre2_jit_compile(jitted->code, PCRE2_JIT_COMPLETE) == 0;
      if (!jitted->jit) return;
      jitted_ = std::move(jitted);
      current_.store(jitted_.get(), std::memory_order_release);
    });
  }
  return *current_.load(std::memory_order_acquire);
}

RegularExpressionLexerToken::~RegularExpressionLexerToken() = default;

size_t RegularExpressionLexerToken::match(std::string_view rest) const {
  const Compiled& pattern = compiled();
  pcre2_match_data* data = matchData();
  const auto subject = reinterpret_cast<PCRE2_SPTR>(rest.data());
  const int rc = pattern.jit
                     ? pcre2_jit_match(pattern.code, subject, rest.size(), 0, 0, data, nullptr)
                     : pcre2_match(pattern.code, subject, rest.size(), 0, 0, data, nullptr);
  if (rc == PCRE2_ERROR_NOMATCH) return 0;
  if (rc < 0) throw ParserException("token pattern failed: " + pcre2Message(rc));
  const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
  return ovector[0] == 0 ? ovector[1] : 0;  // anchored, so the match starts at 0
}

}  // namespace vozo
