#pragma once
// Conversions of C number texts with the semantics of the C library's
// strtoull / strtoll with base 0, on text that need not be NUL-terminated
// and without errno or locale dependence.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vozo {

// Result of a prefix conversion: the value and the number of characters
// consumed (0 when no digits were found, as strto* set the end to the start).
struct CNumberPrefix {
  uint64_t value = 0;
  size_t length = 0;
};

// strtoull(text, &end, 0): leading white space (" \t\n\v\f\r") skipped, an
// optional "+" or "-" ("-" negates modulo 2^64), "0x"/"0X" followed by a hex
// digit selects base 16, another leading "0" base 8, else base 10. Reading
// stops at the first character that does not fit the base; no digits gives 0;
// a magnitude above UINT64_MAX gives UINT64_MAX whatever the sign.
CNumberPrefix parseCUnsignedPrefix(std::string_view text);

inline uint64_t parseCUnsigned(std::string_view text) {
  return parseCUnsignedPrefix(text).value;
}

// strtoll(text, nullptr, 0): as above, but out-of-range values saturate at
// INT64_MAX, or at INT64_MIN for a negative text.
int64_t parseCSigned(std::string_view text);

// Unsigned digits in `base` (2 to 16) from the start of `text`, no prefix,
// sign or white space; stops at the first character that is not a digit of
// the base. Saturates at UINT64_MAX and sets `overflow` then.
struct CDigits {
  uint64_t value = 0;
  size_t length = 0;
  bool overflow = false;
};
CDigits parseDigits(std::string_view text, unsigned base);

}  // namespace vozo
