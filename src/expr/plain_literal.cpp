#include "expr/plain_literal.h"

#include <cstdint>

namespace vozo {

namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<ExpressionValue> evaluatePlainLiteral(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  if (text.size() >= 3 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    if (text.size() > 2 + 16) return std::nullopt;
    for (char c : text.substr(2)) {
      const int digit = hexDigit(c);
      if (digit < 0) return std::nullopt;
      value = value * 16 + static_cast<uint64_t>(digit);
    }
  } else if (text == "0") {
    value = 0;
  } else {
    if (text[0] == '0' || text.size() > 18) return std::nullopt;
    for (char c : text) {
      if (c < '0' || c > '9') return std::nullopt;
      value = value * 10 + static_cast<uint64_t>(c - '0');
    }
  }
  return ExpressionValue::signedInteger(value, 8);
}

}  // namespace vozo
