#pragma once
// Checks of the files a document was read from: imports that could not be
// read, the preprocessor's messages, and why a file did not load.

#include <string>
#include <string_view>

#include "check/check_context.h"
#include "memory/memory_map.h"

namespace vozo {

// `Import` elements that stayed in the tree, and the preprocessor's
// messages at the elements they concern.
void checkFiles(CheckContext& context, const MemoryMap& document);

// Why `loadFile` on `pathText` failed, as a finding: the file as opened and
// the system's reason, or the parser's message at its line, or a file
// without a root element. `what` names the file ("memory map file").
void describeLoadFailure(const MemoryMap& document, std::string_view pathText,
                         std::string_view what, Findings& findings);

}  // namespace vozo
