#pragma once
// Symbol definitions given with -symbols, which the writers put into the
// linker script.

#include <string>
#include <string_view>
#include <vector>

#include "vozo/run_values.h"

namespace vozo {

class Findings;

// Adds the definitions of one -symbols value to `symbols`. The text is a
// ";"-separated list (backslash escapes the next character, empty items are
// dropped). Each item is split at every "=" with empty pieces dropped: the
// first piece is the name, the second the value, further pieces are ignored
// ("A==1" defines A as 1, "A=1=2" defines A as 1). A name given again gets
// the later value.
//
// An item that does not give both a name and a value ("A", "A=", "=5") is
// rejected with HException: an empty value would only turn into a syntax
// error when the linker reads the script, far from the command line that
// caused it.
void addSymbolDefinitions(SymbolDefinitions& symbols, std::string_view text);

// For the input checks: in each -symbols text, items whose pieces after the
// value are ignored, names that are no symbol, and values that cannot stand
// in a linker script statement.
void checkSymbolTexts(const std::vector<std::string>& texts, Findings& findings);

}  // namespace vozo
