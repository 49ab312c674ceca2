#pragma once
// How the host writes paths, and the working directory.
//
// On POSIX hosts "/" is the only separator and a path is absolute when it
// starts with one. On Windows "\" separates as well, and a path is absolute
// when it starts with a separator ("\fw", "\\server\share") or with a drive
// letter and a separator ("C:\fw", "C:/fw").

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vozo::platform {

bool isPathSeparator(char c);

bool isAbsolutePath(std::string_view path);

// The position of the last separator in `path`, or npos.
size_t lastPathSeparator(std::string_view path);

// The length of the part of an absolute `path` that stays when ".." climbs
// as far as it can: "/" on POSIX; "C:\" or "\" on Windows. 0 for a relative
// path.
size_t rootLength(std::string_view path);

// The length of a leading drive ("C:"): 2 on Windows when `path` starts
// with one, else 0.
size_t driveLength(std::string_view path);

// `path` with "/" between its parts: on Windows each "\" becomes "/",
// which Windows reads alike; elsewhere `path` as it is.
std::string withForwardSlashes(std::string_view path);

// The working directory, or nothing when the system cannot say.
std::optional<std::string> currentDirectory();

}  // namespace vozo::platform
