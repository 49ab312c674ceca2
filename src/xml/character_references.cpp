#include "xml/character_references.h"

#include <cstdint>

#include "xml/byte_scans.h"

namespace vozo {

namespace {

// Digit value in a character reference: 0-9, then 10-35 for 'a'-'z'; every
// other character counts as 0 (upper-case letters included).
inline uint32_t digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  return 0;
}

}  // namespace

bool decodeReference(std::string_view reference, char& out) {
  if (reference.empty()) return false;
  if (reference[0] == '#') {
    std::string_view digits = reference.substr(1);
    uint32_t base = 10;
    if (!digits.empty() && digits[0] == 'x') {
      base = 16;
      digits.remove_prefix(1);
    }
    uint32_t value = 0;  // wraps in 32 bits; only the low byte is used
    for (char c : digits) value = value * base + digitValue(c);
    out = static_cast<char>(value & 0xFF);
    return true;
  }
  if (reference == "lt") {
    out = '<';
  } else if (reference == "gt") {
    out = '>';
  } else if (reference == "amp") {
    out = '&';
  } else if (reference == "apos") {
    out = '\'';
  } else if (reference == "quot") {
    out = '"';
  } else {
    return false;
  }
  return true;
}

size_t decodeReferencesInPlace(char* begin, char* end, bool removeCarriageReturns) {
  char* out = begin;
  char* in = begin;
  char* semicolon = nullptr;  // first ";" after the current "&"; null when none
  bool semicolonKnown = false;
  while (in < end) {
    char c = *in;
    if (c == '\r' && removeCarriageReturns) {
      ++in;
      continue;
    }
    if (c != '&') {
      *out++ = c;
      ++in;
      continue;
    }
    // Without a ";" after it the reference is not one.
    if (!semicolonKnown || (semicolon && semicolon <= in)) {
      semicolon = scan::findByte(in + 1, end, ';');
      semicolonKnown = true;
    }
    char byte;
    if (!semicolon || !decodeReference(std::string_view(in + 1, semicolon - in - 1), byte)) {
      *out++ = '&';
      ++in;
      continue;
    }
    if (byte == '\0') break;
    *out++ = byte;
    in = semicolon + 1;
  }
  return out - begin;
}

}  // namespace vozo
