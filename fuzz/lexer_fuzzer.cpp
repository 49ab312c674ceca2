// The lexer's number, name and register recognisers against the token
// patterns they replace, compiled by PCRE2: on any bytes both give the same
// token length, at the start of the input and at every later position (there
// with at most kWindow bytes ahead, so that a long input costs linear time).

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "expr/token_pattern_reference.h"

namespace {

constexpr size_t kWindow = 64;

void compareAt(std::string_view text) {
  static const auto pairs = vozo::reference::makePatternPairs();
  for (const vozo::reference::PatternPair& pair : pairs) {
    if (pair.recogniserLength(text) != pair.patternLength(text)) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  compareAt(text);
  for (size_t at = 1; at < text.size(); ++at) compareAt(text.substr(at, kWindow));
  return 0;
}
