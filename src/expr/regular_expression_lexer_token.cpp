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

RegularExpressionLexerToken::RegularExpressionLexerToken(std::string_view pattern, TokenKind kind,
                                                         int precedence)
    : LexerToken(kind, precedence), compiled_(std::make_unique<Compiled>()) {
  auto compile = [&](uint32_t options) {
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                     PCRE2_ANCHORED | options, &error, &errorOffset, nullptr);
    if (code == nullptr) {
      throw std::logic_error("token pattern " + std::string(pattern) + ": " + pcre2Message(error));
    }
    return code;
  };
  // The code that matches is compiled without start optimisations: a token
  // is matched at the start of the rest of the text only, and the search for
  // a code unit the pattern requires (the "." of a float, say) would scan
  // the whole rest before each failing attempt, making long texts quadratic.
  compiled_->code = compile(PCRE2_NO_START_OPTIMIZE);
  compiled_->jit = pcre2_jit_compile(compiled_->code, PCRE2_JIT_COMPLETE) == 0;

  // The bytes a match can start with come from a study of the pattern,
  // which only an optimised compilation makes.
  std::unique_ptr<Compiled> studied = std::make_unique<Compiled>();
  studied->code = compile(0);
  uint32_t firstType = 0;
  const uint8_t* bitmap = nullptr;
  pcre2_pattern_info(studied->code, PCRE2_INFO_FIRSTCODETYPE, &firstType);
  pcre2_pattern_info(studied->code, PCRE2_INFO_FIRSTBITMAP, &bitmap);
  auto add = [this](unsigned byte) { firstBytes_[byte / 64] |= uint64_t{1} << (byte % 64); };
  if (firstType == 1) {
    uint32_t unit = 0;
    pcre2_pattern_info(studied->code, PCRE2_INFO_FIRSTCODEUNIT, &unit);
    add(unit & 0xFF);
    // A caseless first letter is reported in one case only; admit both.
    if ((unit >= 'a' && unit <= 'z') || (unit >= 'A' && unit <= 'Z')) add((unit ^ 0x20) & 0xFF);
  } else if (bitmap != nullptr) {
    for (unsigned byte = 0; byte < 256; ++byte) {
      if ((bitmap[byte / 8] >> (byte % 8)) & 1) add(byte);
    }
  } else {
    firstBytes_.fill(~uint64_t{0});
  }
}

RegularExpressionLexerToken::~RegularExpressionLexerToken() = default;

size_t RegularExpressionLexerToken::match(std::string_view rest) const {
  pcre2_match_data* data = matchData();
  const auto subject = reinterpret_cast<PCRE2_SPTR>(rest.data());
  const int rc = compiled_->jit
                     ? pcre2_jit_match(compiled_->code, subject, rest.size(), 0, 0, data, nullptr)
                     : pcre2_match(compiled_->code, subject, rest.size(), 0, 0, data, nullptr);
  if (rc == PCRE2_ERROR_NOMATCH) return 0;
  if (rc < 0) throw ParserException("token pattern failed: " + pcre2Message(rc));
  const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
  return ovector[0] == 0 ? ovector[1] : 0;  // anchored, so the match starts at 0
}

bool RegularExpressionLexerToken::mayStartWith(unsigned char byte) const {
  return (firstBytes_[byte / 64] >> (byte % 64)) & 1;
}

}  // namespace vozo
