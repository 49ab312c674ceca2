#pragma once
// The bound on the size of a generated linker script. Real scripts take a
// few kilobytes; only inputs built to blow up (huge names, vast numbers of
// sections) come near it. The writers check it as the text grows, so the
// text never takes much more memory than the bound.

#include <cstddef>
#include <string>

namespace vozo {

inline constexpr size_t kMaxScriptBytes = size_t{256} << 20;

// What the writers reserve for the text at the start: a board's script fits
// in one buffer that is never copied as it grows, and only the pages the
// text reaches are ever touched.
inline constexpr size_t kInitialScriptBytes = size_t{16} << 10;

// Throws HException naming the bound when `text` is longer than
// kMaxScriptBytes.
void checkScriptSize(const std::string& text);

}  // namespace vozo
