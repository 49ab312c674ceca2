#pragma once
// Reading and writing a POSIX file descriptor in full, through interrupted
// calls. Shared by the POSIX implementations only.

#include <cstddef>
#include <string_view>

namespace vozo::platform {

// Reads until the end or until `size` bytes are in: the count, or -1 with
// errno set.
long readUpTo(int descriptor, char* bytes, size_t size);

// Writes all of `bytes`: 0, or the errno value of the failure.
int writeAll(int descriptor, std::string_view bytes);

}  // namespace vozo::platform
