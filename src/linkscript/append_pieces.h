#pragma once
// Building script text: a line is a run of literal pieces and names, appended
// in one call.

#include <string>
#include <string_view>

namespace vozo {

template <typename... Pieces>
void put(std::string& out, const Pieces&... pieces) {
  (out.append(std::string_view(pieces)), ...);
}

}  // namespace vozo
