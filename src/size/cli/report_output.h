#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace vozo::size {

// Writes `text` to `file` and flushes it. Returns the reason when a byte
// could not be written (a full disk, /dev/full, a closed descriptor).
std::optional<std::string> writeWhole(std::FILE* file, std::string_view text);

// Writes `text` to the file at `path`, replacing it. Returns the reason when
// it cannot; a regular file left half written is removed.
std::optional<std::string> writeFile(const std::string& path, std::string_view text);

// "<where>: error: <message>" on standard error, with the bytes of both
// shown as printableText does.
void printError(std::string_view where, std::string_view message);

}  // namespace vozo::size
