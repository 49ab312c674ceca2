#include "expr/unicode_space.h"

namespace vozo {

namespace {

struct DecodedCodePoint {
  char32_t value = 0;
  size_t length = 0;  // 0: not a well-formed sequence
};

// Decodes one UTF-8 sequence at the start of `text`, rejecting overlong
// forms, surrogates and values above U+10FFFF.
DecodedCodePoint decodeUtf8(std::string_view text) {
  if (text.empty()) return {};
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return {lead, 1};
  size_t length;
  char32_t value;
  char32_t minimum;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return {};
  }
  if (text.size() < length) return {};
  for (size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte & 0xC0) != 0x80) return {};
    value = (value << 6) | (byte & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return {};
  return {value, length};
}

}  // namespace

bool isSpaceSeparator(char32_t c) {
  return c == 0x20 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F ||
         c == 0x205F || c == 0x3000;
}

size_t spaceSeparatorRunLength(std::string_view text) {
  size_t length = 0;
  while (length < text.size()) {
    if (text[length] == ' ') {  // the common case, without decoding
      ++length;
      continue;
    }
    const DecodedCodePoint decoded = decodeUtf8(text.substr(length));
    if (decoded.length == 0 || !isSpaceSeparator(decoded.value)) break;
    length += decoded.length;
  }
  return length;
}

bool mayStartSpaceSeparator(unsigned char byte) {
  // U+0020; U+00A0 (C2 A0); U+1680 (E1 9A 80); U+2000..U+205F (E2 80/81 ..);
  // U+3000 (E3 80 80).
  return byte == 0x20 || byte == 0xC2 || byte == 0xE1 || byte == 0xE2 || byte == 0xE3;
}

}  // namespace vozo
