// Macro expansion: the first line holds NAME=VALUE;... definitions, the rest
// is the text expanded with them, with and without the built-in table.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "xml/macro_expand.h"
#include "xml/macro_map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const vozo::fuzz::DefinitionsAndText input =
      vozo::fuzz::splitDefinitions(vozo::fuzz::asText(data, size));
  static const vozo::fuzz::FixedMacroTable table;
  const vozo::MacroMap macros = vozo::macroMapFromDefinitionText(input.definitions);
  // A work budget far below the tool's keeps runs fast; the budget code is
  // the same.
  constexpr size_t kBudget = 64 * 1024;
  for (bool useTable : {false, true}) {
    std::string out;
    size_t budget = kBudget;
    vozo::expandInto(input.text, macros, table, useTable, out, budget);
    // The result is never longer than the text plus the work budget.
    if (out.size() > input.text.size() + kBudget) __builtin_trap();
  }
  return 0;
}
