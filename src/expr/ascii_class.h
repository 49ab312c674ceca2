#pragma once
// ASCII character classes of the expression texts. Bytes above 0x7F belong
// to none of them.

namespace vozo {

inline bool isDecimalDigit(char c) {
  return c >= '0' && c <= '9';
}

inline bool isHexDigit(char c) {
  return isDecimalDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

inline bool isAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace vozo
