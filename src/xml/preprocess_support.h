#pragma once
// Small text helpers of the preprocessing walk: list splitting and matching,
// wildcard search, number formatting and include path resolution.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vozo {

// True when `value` equals one of the items of `list` split at `separator`
// (empty items dropped, no trimming, byte-wise comparison). So an empty value
// never matches.
bool listContains(std::string_view list, char separator, std::string_view value);

// Splits `text` at every occurrence of `separator` (a text of any length),
// dropping empty items. An empty separator does not split: the whole text is
// the one item (none when the text is empty).
std::vector<std::string> splitAtSeparator(std::string_view text, std::string_view separator);

// `text` without any "\n" and "\r" characters.
std::string withoutLineBreaks(std::string_view text);

// `text` without any "\n" characters (carriage returns stay).
std::string withoutNewlines(std::string_view text);

// True when the wildcard `pattern` ("*", "?", "[...]", case-sensitive; a
// backslash is an ordinary character) matches anywhere inside `text` (an
// unanchored search).
bool wildcardFoundIn(const std::string& pattern, const std::string& text);

// "0x" followed by `value` in upper-case hexadecimal without leading zeros.
std::string upperHex(uint32_t value);

// The character with code 65 + `index` (a 16-bit code: the sum wraps at
// 0x10000) in UTF-8; a code in the surrogate range gives U+FFFD.
std::string alphaCharacter(uint32_t index);

// The path of an included file: `name` as it is when absolute, otherwise
// prefixed with the directory of `includingPath` and "/". The directory is
// everything before the last "/" ("." when there is none, "/" when that
// slash is the first character), so "a/b.xml" gives "a/name", "b.xml" gives
// "./name" and "/b.xml" gives "//name".
std::string resolveIncludePath(std::string_view name, std::string_view includingPath);

// A name that is the same for every spelling of the path of one existing
// file (its canonical absolute path); the path itself when it cannot be
// resolved.
std::string fileIdentity(const std::string& path);

}  // namespace vozo
