#include "platform/wildcard.h"

#include <string_view>

namespace vozo::platform {
namespace {

bool inClass(std::string_view name, unsigned char c) {
  const bool upper = c >= 'A' && c <= 'Z';
  const bool lower = c >= 'a' && c <= 'z';
  const bool digit = c >= '0' && c <= '9';
  if (name == "alpha") return upper || lower;
  if (name == "digit") return digit;
  if (name == "alnum") return upper || lower || digit;
  if (name == "upper") return upper;
  if (name == "lower") return lower;
  if (name == "space") return c == ' ' || (c >= '\t' && c <= '\r');
  if (name == "blank") return c == ' ' || c == '\t';
  if (name == "punct") return c > 0x20 && c < 0x7F && !upper && !lower && !digit;
  if (name == "print") return c >= 0x20 && c < 0x7F;
  if (name == "graph") return c > 0x20 && c < 0x7F;
  if (name == "cntrl") return c < 0x20 || c == 0x7F;
  if (name == "xdigit") return digit || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  return false;
}

// The set that starts at pattern[at] == '[': whether `c` is in it, and where
// the pattern goes on after it. Nothing when the set is not closed, so that
// the "[" stands for itself.
struct SetMatch {
  bool closed = false;
  bool matches = false;
  size_t next = 0;
};

SetMatch matchSet(std::string_view pattern, size_t at, unsigned char c) {
  size_t i = at + 1;
  bool negated = false;
  if (i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^')) {
    negated = true;
    ++i;
  }
  bool found = false;
  bool first = true;
  while (i < pattern.size()) {
    if (pattern[i] == ']' && !first) return {true, found != negated, i + 1};
    first = false;
    if (pattern[i] == '[' && i + 1 < pattern.size() && pattern[i + 1] == ':') {
      const size_t end = pattern.find(":]", i + 2);
      if (end == std::string_view::npos) return {};
      found = found || inClass(pattern.substr(i + 2, end - i - 2), c);
      i = end + 2;
      continue;
    }
    const auto low = static_cast<unsigned char>(pattern[i]);
    if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
      const auto high = static_cast<unsigned char>(pattern[i + 2]);
      found = found || (c >= low && c <= high);
      i += 3;
      continue;
    }
    found = found || c == low;
    ++i;
  }
  return {};
}

}  // namespace

// Left to right, going back only to the last "*" seen: with nothing but "*"
// to stretch, a later "*" can take over whatever an earlier one would have,
// so the time stays within the pattern's length times the text's.
bool wildcardMatches(const std::string& pattern, const std::string& text) {
  size_t p = 0;
  size_t t = 0;
  size_t starP = std::string::npos;
  size_t starT = 0;
  while (t < text.size()) {
    if (p < pattern.size()) {
      const char pc = pattern[p];
      if (pc == '*') {
        starP = ++p;
        starT = t;
        continue;
      }
      if (pc == '?') {
        ++p;
        ++t;
        continue;
      }
      if (pc == '[') {
        const SetMatch set = matchSet(pattern, p, static_cast<unsigned char>(text[t]));
        if (set.closed && set.matches) {
          p = set.next;
          ++t;
          continue;
        }
        if (!set.closed && text[t] == '[') {
          ++p;
          ++t;
          continue;
        }
      } else if (pc == text[t]) {
        ++p;
        ++t;
        continue;
      }
    }
    if (starP == std::string::npos) return false;
    p = starP;
    t = ++starT;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace vozo::platform
