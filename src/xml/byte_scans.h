#pragma once
// The byte scans of the XML parser: character classes, newline counting, and
// the searches for the next tag and for the end of a plain attribute value,
// which run over most bytes of a large memory map.
//
// Each search has a portable form, one byte at a time, and where the
// processor has SSE2 a form that looks at sixteen bytes at once. The parser
// uses the fast form unless the build defines VOZO_PORTABLE_SCANS; both give
// the same result for every input, which tests/xml/byte_scans_test.cpp
// checks by running them side by side.
//
// Every search relies on a NUL at `end`: the parser's text always has one.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#define VOZO_HAVE_SSE2_SCANS 1
#endif

namespace vozo::scan {

// Character classes over ASCII; bytes above 0x7F belong to none. The bytes
// that end the plain scan of an attribute value are the quotes, NUL, the
// newline (for the line count) and the two that a plain value may not hold
// ("&" would need decoding, "$" may be expanded by a preprocessor).
enum : uint8_t { kSpace = 1, kName = 2, kAttributeStart = 4, kValueStop = 8 };

constexpr std::array<uint8_t, 256> makeCharacterClasses() {
  std::array<uint8_t, 256> classes{};
  for (char c : {' ', '\t', '\n', '\v', '\f', '\r'}) classes[static_cast<uint8_t>(c)] = kSpace;
  for (int c = 0; c < 128; ++c) {
    bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    bool digit = c >= '0' && c <= '9';
    bool punctuation = c == '_' || c == ':' || c == '-';
    if (letter || digit || punctuation) classes[c] |= kName;
    if (letter || punctuation) classes[c] |= kAttributeStart;
  }
  for (char c : {'"', '\'', '&', '$', '\0', '\n'}) classes[static_cast<uint8_t>(c)] |= kValueStop;
  return classes;
}

inline constexpr std::array<uint8_t, 256> kCharacterClasses = makeCharacterClasses();

inline bool hasClass(char c, uint8_t characterClass) {
  return (kCharacterClasses[static_cast<uint8_t>(c)] & characterClass) != 0;
}

inline char* findByte(char* from, char* end, char c) {
  return static_cast<char*>(std::memchr(from, c, end - from));
}

namespace portable {

inline size_t countNewlines(const char* from, const char* end) {
  size_t count = 0;
  for (; from < end; ++from) count += *from == '\n';
  return count;
}

// The first "<" or NUL at or after `p`, counting the newlines passed.
inline char* findTagStart(char* p, uint32_t& lines) {
  for (; *p != '<' && *p != '\0'; ++p) lines += *p == '\n';
  return p;
}

// The first byte at or after `p` of class kValueStop.
inline char* findValueStop(char* p) {
  while (!hasClass(*p, kValueStop)) ++p;
  return p;
}

}  // namespace portable

namespace fast {

// Newlines in [from, end), eight bytes at a time: the parser asks for the
// line of every tag, so this runs over the whole text once. Plain integer
// arithmetic, so every processor takes it.
inline size_t countNewlines(const char* from, const char* end) {
  constexpr uint64_t kOnes = 0x0101010101010101;
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7F;
  size_t count = 0;
  while (end - from >= 8) {
    uint64_t word;
    std::memcpy(&word, from, sizeof word);
    const uint64_t x = word ^ (kOnes * '\n');  // a zero byte where a newline was
    // The top bit of each byte is set exactly where that byte of x is zero;
    // shifted down to one per byte, the multiplication sums them in the top
    // byte.
    const uint64_t zero = ~(((x & kLow7) + kLow7) | x | kLow7);
    count += static_cast<size_t>(((zero >> 7) * kOnes) >> 56);
    from += 8;
  }
  return count + portable::countNewlines(from, end);
}

// findTagStart, sixteen bytes at a time while that many lie before `end`:
// the indentation between the tags of a register map.
inline char* findTagStart(char* p, const char* end, uint32_t& lines) {
#if defined(VOZO_HAVE_SSE2_SCANS)
  const __m128i less = _mm_set1_epi8('<');
  const __m128i nul = _mm_setzero_si128();
  const __m128i newline = _mm_set1_epi8('\n');
  while (end - p >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned stops = static_cast<unsigned>(_mm_movemask_epi8(
        _mm_or_si128(_mm_cmpeq_epi8(bytes, less), _mm_cmpeq_epi8(bytes, nul))));
    const unsigned newlines =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, newline)));
    // Indentation holds a newline or two: counted bit by bit.
    unsigned passed = newlines;
    if (stops != 0) passed &= (stops & -stops) - 1;
    for (; passed != 0; passed &= passed - 1) ++lines;
    if (stops != 0) return p + __builtin_ctz(stops);
    p += 16;
  }
#else
  static_cast<void>(end);
#endif
  return portable::findTagStart(p, lines);
}

// findValueStop, sixteen bytes at a time while that many lie before `end`:
// attribute values, descriptions above all, make up half of a register map.
inline char* findValueStop(char* p, const char* end) {
  // Most values are short: their first bytes one by one.
  for (const char* shortEnd = p + 8; p < shortEnd; ++p) {
    if (hasClass(*p, kValueStop)) return p;
  }
#if defined(VOZO_HAVE_SSE2_SCANS)
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i apostrophe = _mm_set1_epi8('\'');
  const __m128i ampersand = _mm_set1_epi8('&');
  const __m128i dollar = _mm_set1_epi8('$');
  const __m128i nul = _mm_setzero_si128();
  const __m128i newline = _mm_set1_epi8('\n');
  while (end - p >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i quotes = _mm_or_si128(_mm_cmpeq_epi8(bytes, quote), _mm_cmpeq_epi8(bytes, apostrophe));
    const __m128i marks = _mm_or_si128(_mm_cmpeq_epi8(bytes, ampersand), _mm_cmpeq_epi8(bytes, dollar));
    const __m128i ends = _mm_or_si128(_mm_cmpeq_epi8(bytes, nul), _mm_cmpeq_epi8(bytes, newline));
    const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(quotes, marks), ends));
    if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
    p += 16;
  }
#else
  static_cast<void>(end);
#endif
  return portable::findValueStop(p);
}

}  // namespace fast

// The forms the parser uses.
#if defined(VOZO_PORTABLE_SCANS)
inline size_t countNewlines(const char* from, const char* end) {
  return portable::countNewlines(from, end);
}
inline char* findTagStart(char* p, const char*, uint32_t& lines) {
  return portable::findTagStart(p, lines);
}
inline char* findValueStop(char* p, const char*) { return portable::findValueStop(p); }
#else
using fast::countNewlines;
using fast::findTagStart;
using fast::findValueStop;
#endif

}  // namespace vozo::scan
