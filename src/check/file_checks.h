#pragma once
// Checks of the files a document was read from: imports that could not be
// read, the preprocessor's messages, and why a file did not load.

#include <string>
#include <string_view>

#include "check/check_context.h"
#include "memory/memory_map.h"

namespace vozo {

// The preprocessor's messages, at the elements they concern.
void checkPreprocessorMessages(CheckContext& context, const MemoryMap& document);

// An `Import` element that stayed in the tree: it is not directly under the
// root, has no file name, or its file could not be read (the path as
// resolved and why).
void checkImport(CheckContext& context, const MemoryMap& document, const XMLElement& element);

// Why `loadFile` on `pathText` failed, as a finding: the file as opened and
// the system's reason, or the parser's message at its line, or the root
// element that the file never closes at the line that opens it, or a file
// without a root element. `what` names the file ("memory map file").
void describeLoadFailure(const MemoryMap& document, std::string_view pathText,
                         std::string_view what, Findings& findings);

}  // namespace vozo
