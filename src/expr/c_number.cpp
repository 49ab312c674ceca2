#include "expr/c_number.h"

#include <limits>

namespace vozo {

namespace {

// Value of `c` as a digit, or 99 when it is none.
unsigned digitValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'z') return static_cast<unsigned>(c - 'a') + 10;
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned>(c - 'A') + 10;
  return 99;
}

bool isCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The part shared by the signed and unsigned conversions: sign, base and
// magnitude.
struct SignedMagnitude {
  CDigits digits;
  bool negative = false;
  size_t length = 0;  // characters consumed, 0 when there are no digits
};

SignedMagnitude parseMagnitude(std::string_view text) {
  SignedMagnitude result;
  size_t i = 0;
  while (i < text.size() && isCSpace(text[i])) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    result.negative = text[i] == '-';
    ++i;
  }
  unsigned base = 10;
  if (i < text.size() && text[i] == '0') {
    if (i + 2 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        digitValue(text[i + 2]) < 16) {
      base = 16;
      i += 2;
    } else {
      base = 8;  // the "0" itself is read as an octal digit
    }
  }
  result.digits = parseDigits(text.substr(i), base);
  result.length = result.digits.length == 0 ? 0 : i + result.digits.length;
  return result;
}

}  // namespace

CDigits parseDigits(std::string_view text, unsigned base) {
  CDigits result;
  for (char c : text) {
    const unsigned digit = digitValue(c);
    if (digit >= base) break;
    ++result.length;
    if (result.overflow) continue;
    // Checked arithmetic, not a comparison against kMax / base: a division
    // per call costs more than the digits of a short number.
    uint64_t next;
    if (__builtin_mul_overflow(result.value, uint64_t{base}, &next) ||
        __builtin_add_overflow(next, uint64_t{digit}, &next)) {
      result.overflow = true;
      result.value = std::numeric_limits<uint64_t>::max();
    } else {
      result.value = next;
    }
  }
  return result;
}

CNumberPrefix parseCUnsignedPrefix(std::string_view text) {
  SignedMagnitude m = parseMagnitude(text);
  if (m.length == 0) return {};
  uint64_t value = m.digits.value;
  if (m.negative && !m.digits.overflow) value = 0 - value;
  return {value, m.length};
}

int64_t parseCSigned(std::string_view text) {
  SignedMagnitude m = parseMagnitude(text);
  constexpr uint64_t kLimit = uint64_t{1} << 63;  // |INT64_MIN|
  if (m.negative) {
    if (m.digits.overflow || m.digits.value >= kLimit) return std::numeric_limits<int64_t>::min();
    return -static_cast<int64_t>(m.digits.value);
  }
  if (m.digits.overflow || m.digits.value >= kLimit) return std::numeric_limits<int64_t>::max();
  return static_cast<int64_t>(m.digits.value);
}

}  // namespace vozo
