#pragma once
// Checks of the macros of a document: the definitions given on the command
// line for it (-memory-map-macros, -section-placement-macros) and the
// references $(NAME) that its preprocessing left unexpanded.

#include <string_view>

#include "check/check_context.h"
#include "memory/memory_map.h"

namespace vozo {

// The option that gives the macros of the memory map or placement document.
std::string_view macroOption(bool isPlacement);

// Reports each reference $(NAME) in `text`, the value of `attribute` of
// `element`, whose macro is not defined: the preprocessor keeps such a
// reference as written. The message names the closest macro defined on the
// command line. True when there was one.
bool checkMacroReferences(CheckContext& context, const MemoryMap& document,
                          const MemoryMapElement& element, std::string_view attribute,
                          std::string_view text, bool isPlacement);

// The command-line definitions of `document`: a name that no reference can
// name (a blank, ":" or ")" in it, or none at all), and a name that no file
// of the document mentions while a file references a name close to it.
void checkCommandLineMacros(CheckContext& context, const MemoryMap& document, bool isPlacement);

}  // namespace vozo
