#pragma once
// Building script text: a line is a run of literal pieces and names, appended
// in one call.

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace vozo {

// Grows `out` once for all pieces (at least doubling, so a script of many
// lines is copied a few times only) and copies them in.
template <typename... Pieces>
void put(std::string& out, const Pieces&... pieces) {
  const std::string_view views[] = {std::string_view(pieces)...};
  size_t total = 0;
  for (std::string_view view : views) total += view.size();
  size_t at = out.size();
  if (out.capacity() - at < total) out.reserve(std::max(2 * out.capacity(), at + total));
  out.resize(at + total);
  for (std::string_view view : views) {
    std::memcpy(out.data() + at, view.data(), view.size());
    at += view.size();
  }
}

}  // namespace vozo
