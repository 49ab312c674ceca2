#include "expr/unicode_classes.h"

#include <algorithm>
#include <array>

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

// The run of code points at the start of `text` that `belongs` takes, in
// bytes; ASCII bytes are judged without decoding.
template <class Belongs>
size_t codePointRunLength(std::string_view text, Belongs belongs) {
  size_t length = 0;
  while (length < text.size()) {
    const auto byte = static_cast<unsigned char>(text[length]);
    if (byte < 0x80) {
      if (!belongs(char32_t{byte})) break;
      ++length;
      continue;
    }
    const DecodedCodePoint decoded = decodeUtf8(text.substr(length));
    if (decoded.length == 0 || !belongs(decoded.value)) break;
    length += decoded.length;
  }
  return length;
}

// The zero of every run of ten decimal digits (category Nd of Unicode 14.0,
// whose digits all come in such runs), in ascending order.
constexpr std::array<char32_t, 66> kDigitZeros = {
    0x0030, 0x0660, 0x06F0, 0x07C0, 0x0966, 0x09E6, 0x0A66, 0x0AE6,
    0x0B66, 0x0BE6, 0x0C66, 0x0CE6, 0x0D66, 0x0DE6, 0x0E50, 0x0ED0,
    0x0F20, 0x1040, 0x1090, 0x17E0, 0x1810, 0x1946, 0x19D0, 0x1A80,
    0x1A90, 0x1B50, 0x1BB0, 0x1C40, 0x1C50, 0xA620, 0xA8D0, 0xA900,
    0xA9D0, 0xA9F0, 0xAA50, 0xABF0, 0xFF10, 0x104A0, 0x10D30, 0x11066,
    0x110F0, 0x11136, 0x111D0, 0x112F0, 0x11450, 0x114D0, 0x11650, 0x116C0,
    0x11730, 0x118E0, 0x11950, 0x11C50, 0x11D50, 0x11DA0, 0x16A60, 0x16AC0,
    0x16B50, 0x1D7CE, 0x1D7D8, 0x1D7E2, 0x1D7EC, 0x1D7F6, 0x1E140, 0x1E2F0,
    0x1E950, 0x1FBF0,
};

}  // namespace

bool isSpaceSeparator(char32_t c) {
  return c == 0x20 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F ||
         c == 0x205F || c == 0x3000;
}

size_t spaceSeparatorRunLength(std::string_view text) {
  return codePointRunLength(text, isSpaceSeparator);
}

bool mayStartSpaceSeparator(unsigned char byte) {
  // U+0020; U+00A0 (C2 A0); U+1680 (E1 9A 80); U+2000..U+205F (E2 80/81 ..);
  // U+3000 (E3 80 80).
  return byte == 0x20 || byte == 0xC2 || byte == 0xE1 || byte == 0xE2 || byte == 0xE3;
}

bool isDecimalDigitCodePoint(char32_t codePoint) {
  if (codePoint < 0x80) return codePoint >= '0' && codePoint <= '9';
  // The last run that starts at or before the code point.
  const auto after = std::upper_bound(kDigitZeros.begin(), kDigitZeros.end(), codePoint);
  return after != kDigitZeros.begin() && codePoint - *(after - 1) < 10;
}

size_t decimalDigitRunLength(std::string_view text) {
  return codePointRunLength(text, isDecimalDigitCodePoint);
}

bool mayStartDecimalDigit(unsigned char byte) {
  // "0"-"9"; two-byte digits lead with D9, DB or DF (U+0660..U+07C9); the
  // three-byte ones with E0, E1, EA or EF; the four-byte ones with F0.
  return (byte >= '0' && byte <= '9') || byte == 0xD9 || byte == 0xDB || byte == 0xDF ||
         byte == 0xE0 || byte == 0xE1 || byte == 0xEA || byte == 0xEF || byte == 0xF0;
}

}  // namespace vozo
