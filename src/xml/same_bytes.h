#pragma once
// Equality of two short byte runs of the same length, inline: names of
// elements and attributes are compared by the hundred thousand, and most are
// shorter than 16 bytes, where a call to memcmp costs more than the compare.

#include <cstdint>
#include <cstring>
#include <string_view>

namespace vozo {

namespace same_bytes_detail {

template <class Word>
inline Word load(const char* p) {
  Word word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

}  // namespace same_bytes_detail

// a and b point to `size` readable bytes each. Runs of 4 to 16 bytes are
// compared as two overlapping words, which reads no byte outside them.
inline bool sameBytes(const char* a, const char* b, size_t size) {
  using same_bytes_detail::load;
  if (size >= 8) {
    if (size > 16) return std::memcmp(a, b, size) == 0;
    return load<uint64_t>(a) == load<uint64_t>(b) &&
           load<uint64_t>(a + size - 8) == load<uint64_t>(b + size - 8);
  }
  if (size >= 4) {
    return load<uint32_t>(a) == load<uint32_t>(b) &&
           load<uint32_t>(a + size - 4) == load<uint32_t>(b + size - 4);
  }
  for (size_t i = 0; i < size; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

inline bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && sameBytes(a.data(), b.data(), a.size());
}

}  // namespace vozo
