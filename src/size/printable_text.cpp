#include "size/printable_text.h"

#include <cstdint>

namespace vozo::size {

namespace {

bool isContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// The code point of the well-formed character of `length` bytes at the
// start of `text`.
uint32_t codePoint(std::string_view text, size_t length) {
  static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  uint32_t value = static_cast<unsigned char>(text[0]) & kLeadBits[length];
  for (size_t i = 1; i < length; ++i) {
    value = (value << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
  }
  return value;
}

bool isShownAsBytes(uint32_t character) {
  return character < 0x20 || (character >= 0x7F && character <= 0x9F) || character == 0xFFFE ||
         character == 0xFFFF;
}

}  // namespace

size_t utf8CharacterLength(std::string_view text) {
  if (text.empty()) return 0;
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return 1;
  // The first continuation byte's range excludes overlong forms, surrogates
  // and values past U+10FFFF.
  size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  const auto second = static_cast<unsigned char>(text[1]);
  if (second < low || second > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (!isContinuation(static_cast<unsigned char>(text[i]))) return 0;
  }
  return length;
}

std::string printableText(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const size_t length = utf8CharacterLength(text);
    const bool asBytes = length == 0 || isShownAsBytes(codePoint(text, length));
    const size_t taken = length == 0 ? 1 : length;
    if (asBytes) {
      for (size_t i = 0; i < taken; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
      }
    } else {
      out.append(text.substr(0, taken));
    }
    text.remove_prefix(taken);
  }
  return out;
}

}  // namespace vozo::size
