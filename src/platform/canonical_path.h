#pragma once
// The canonical spelling of an existing file's path.

#include <optional>
#include <string>

namespace vozo::platform {

// The absolute path of the existing file `path`, without "." or ".." and
// with symbolic links resolved; the same for every spelling of one file's
// path. Nothing when the file cannot be resolved.
std::optional<std::string> canonicalPath(const std::string& path);

}  // namespace vozo::platform
