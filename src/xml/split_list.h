#pragma once
// Splitting of ";"-separated lists with a backslash escape, used for macro
// definition lists and symbol definitions on the command line and for the
// `macros` attribute of the preprocessor.

#include <string>
#include <string_view>
#include <vector>

namespace vozo {

// Splits `text` at `separator`. A backslash followed by another character
// adds that character literally (the backslash is dropped); a backslash that
// is the last character of the text is kept. Empty items are kept only when
// `keepEmpty` is set.
//   splitEscapedList("A=1;B=x\\;y;;C") == {"A=1", "B=x;y", "C"}
std::vector<std::string> splitEscapedList(std::string_view text, char separator = ';',
                                          char escape = '\\', bool keepEmpty = false);

// Plain split at `separator` with no escape character.
std::vector<std::string_view> splitPlain(std::string_view text, char separator, bool keepEmpty);

}  // namespace vozo
