#pragma once
// Reading and writing a POSIX file descriptor in full, through interrupted
// calls, and the status of a file. Shared by the POSIX implementations only.

#include <sys/stat.h>

#include <cstddef>
#include <string_view>

#include "platform/files.h"

namespace vozo::platform {

// Reads until the end or until `size` bytes are in: the count, or -1 with
// errno set.
long readUpTo(int descriptor, char* bytes, size_t size);

// Writes all of `bytes`: 0, or the errno value of the failure.
int writeAll(int descriptor, std::string_view bytes);

// The kind, size and time of what stat() or fstat() gave.
FileStatus fileStatusOf(const struct stat& status);

}  // namespace vozo::platform
