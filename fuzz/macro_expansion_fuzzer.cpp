// Macro expansion: the first line holds NAME=VALUE;... definitions, the rest
// is the text expanded with them, with and without the built-in table.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "xml/macro_expand.h"
#include "xml/macro_map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto input = vozo::fuzz::asText(data, size);
  const size_t newline = input.find('\n');
  const auto definitions = input.substr(0, newline);
  const auto text =
      newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);
  static const vozo::fuzz::FixedMacroTable table;
  const vozo::MacroMap macros = vozo::macroMapFromDefinitionText(definitions);
  for (bool useTable : {false, true}) {
    std::string out;
    vozo::expandInto(text, macros, table, useTable, out);
    // The result of an expansion is never longer than the text plus the work
    // bound of one expansion.
    if (out.size() > text.size() + vozo::kMaxExpansionWork) __builtin_trap();
  }
  return 0;
}
