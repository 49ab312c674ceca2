#include "expr/plain_literal.h"

#include <cstdint>

#include "expr/ascii_class.h"

namespace vozo {

namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads the literal at `text[at]` (see the header) and moves `at` past it;
// false when there is none. A literal runs to the first byte that is not a
// digit of its base.
bool readLiteral(std::string_view text, size_t& at, uint64_t& value) {
  const std::string_view rest = text.substr(at);
  value = 0;
  size_t length = 0;
  if (rest.size() >= 3 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X') &&
      hexDigit(rest[2]) >= 0) {
    length = 2;
    for (; length < rest.size() && hexDigit(rest[length]) >= 0; ++length) {
      value = value * 16 + static_cast<uint64_t>(hexDigit(rest[length]));
    }
    if (length > 2 + 16) return false;
  } else if (!rest.empty() && isDecimalDigit(rest[0])) {
    for (; length < rest.size() && isDecimalDigit(rest[length]); ++length) {
      value = value * 10 + static_cast<uint64_t>(rest[length] - '0');
    }
    // A leading zero makes an octal literal, unless the literal is "0".
    if ((rest[0] == '0' && length > 1) || length > 18) return false;
  } else {
    return false;
  }
  // A literal followed by a letter, a digit it does not take, "_" or "."
  // is something else (a suffix, an octal or binary literal, a float).
  if (length < rest.size()) {
    const char next = rest[length];
    if (isDecimalDigit(next) || isAsciiLetter(next) || next == '_' || next == '.' || next == '$') {
      return false;
    }
  }
  at += length;
  return true;
}

}  // namespace

std::optional<ExpressionValue> evaluatePlainArithmetic(std::string_view text) {
  size_t at = 0;
  if (!text.empty() && text.front() == '+') at = 1;
  uint64_t term = 0;
  if (!readLiteral(text, at, term)) return std::nullopt;
  // sum holds the terms before `term`, which is added with `termSign`.
  uint64_t sum = 0;
  char termSign = '+';
  for (;;) {
    if (at < text.size() && text[at] == ' ') ++at;
    if (at == text.size()) break;
    const char op = text[at++];
    if (op != '+' && op != '-' && op != '*') return std::nullopt;
    if (at < text.size() && text[at] == ' ') ++at;
    uint64_t value = 0;
    if (!readLiteral(text, at, value)) return std::nullopt;
    if (op == '*') {
      term *= value;
    } else {
      sum = termSign == '+' ? sum + term : sum - term;
      termSign = op;
      term = value;
    }
  }
  sum = termSign == '+' ? sum + term : sum - term;
  return ExpressionValue::signedInteger(sum, 8);
}

}  // namespace vozo
