#pragma once
// Expansion of macro references in a text.
//
// Reference forms ("$" is the macro character):
//   $(NAME)           the value of NAME; kept as written when NAME is unknown
//   $(NAME:DEFAULT)   the value of NAME, else DEFAULT with its references expanded
//   $(NAME::DEFAULT)  the value of NAME, else DEFAULT as written
//   $$                a single "$" ("$$(X)" gives "$(X)")
//   $ + anything else kept as it is, as is a "$" at the end of the text
// NAME is everything between "$(" and the first ":" or ")" after it, exactly
// as written. DEFAULT runs to the ")" that balances the reference's "(", or
// to the end of the text when there is none. "$(" with no ":" or ")" after it
// is dropped and the rest of the text is kept. An empty NAME vanishes, with
// its default.
//
// Names are looked up in the local map, then, when `useMacroTable` is set, in
// the macro table's stored values. For every name found, the table is first
// asked for a computed value (the date and time names), which then replaces
// whatever is stored. A value containing "$" is itself expanded, unless it
// equals the whole text being expanded (so S=$(S) expanding "$(S)" gives
// "$(S)"). Values are expanded where they are used, against the same maps.
//
// Limits against hostile definitions:
// - Nesting: the text given is level 0; expanding a value or a default found
//   in it goes one level deeper. A reference whose value or default would
//   have to be expanded at level kMaxMacroNesting is kept exactly as written
//   instead. So a cycle A=$(B), B=$(A) expanding "$(A)" gives "$(B)" (the
//   reference met at the last level), and a long chain A1=$(A2), A2=$(A3), ...
//   stops with the pending reference "$(A64)" as written. This also bounds
//   the stack.
// - Work: one expansion may take at most kMaxExpansionWork bytes from macro
//   values and nested texts (every value appended and every value or default
//   expanded counts its length). Once that budget is exceeded, every further
//   reference that needs a value or a nested expansion is kept as written.
//   So definitions that double at each level (A=$(B)$(B), B=$(C)$(C), ...)
//   end quickly, and the result is never longer than the text plus
//   kMaxExpansionWork.

#include <cstddef>
#include <string>
#include <string_view>

#include "xml/macro_map.h"
#include "xml/macro_table.h"

namespace vozo {

inline constexpr int kMaxMacroNesting = 64;
inline constexpr size_t kMaxExpansionWork = size_t{4} << 20;

// Expands `text`. When the text contains no "$" it returns false and leaves
// `out` untouched (the text is its own expansion, nothing is copied);
// otherwise it sets `out` to the expansion and returns true. `text` may view
// into `out`.
bool expandInto(std::string_view text, const MacroMap& localMap, const MacroTable& macroTable,
                bool useMacroTable, std::string& out);

// The same, drawing on `budget` (bytes, as for kMaxExpansionWork) instead of
// a fresh budget per call, so that a caller can bound the total work of many
// expansions, e.g. of all attribute values of one document. `budget` is
// decreased by what the expansion takes.
bool expandInto(std::string_view text, const MacroMap& localMap, const MacroTable& macroTable,
                bool useMacroTable, std::string& out, size_t& budget);

// The expansion of `text` as a new string.
std::string expand(std::string_view text, const MacroMap& localMap, const MacroTable& macroTable,
                   bool useMacroTable);

}  // namespace vozo
