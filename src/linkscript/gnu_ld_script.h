#pragma once
// Writes the GNU ld linker script of a run: the entry point (when the run
// names one), the MEMORY block with one region per segment, the segment and
// user symbols, one output-section statement per program section (see
// section_layout.h) and the optional stack-sizes statement.

#include <string>

#include "linkscript/gnu_ld_script_settings.h"
#include "memory/memory_map.h"

namespace vozo {

// Writes the script into the file at `outputPath`, replacing it as a whole
// (linkscript/replaced_file.h). `sectionPlacement` is null without a section
// placement file. A file that cannot be written, and a layout that cannot be
// made (section_layout.h), end the run.
void writeGnuLdScript(const std::string& outputPath, const MemoryMap& memoryMap,
                      const MemoryMap* sectionPlacement, const GnuLdScriptSettings& settings);

// The whole script as text (what writeGnuLdScript writes into the file).
std::string gnuLdScriptText(const MemoryMap& memoryMap, const MemoryMap* sectionPlacement,
                            const GnuLdScriptSettings& settings);

}  // namespace vozo
