#pragma once
// Writes the GNU ld linker script of a run: the entry point (when the run
// names one), the MEMORY block with one region per segment, the segment and
// user symbols, one output-section statement per program section (see
// section_layout.h) and the optional stack-sizes statement.

#include <map>
#include <string>

#include "linkscript/run_settings.h"
#include "memory/memory_map.h"

namespace vozo {

// `sectionPlacement` may be null (no section placement file). Throws
// HException when the output file cannot be opened; layout failures pass
// through as std::string.
void writeGnuLdScript(const std::string& outputPath,
                      const std::map<std::string, std::string>& symbols, bool checkSegmentOverflow,
                      bool checkSectionOverflow, bool checkUnplacedSections,
                      const MemoryMap& memoryMap, const MemoryMap* sectionPlacement,
                      const std::string& defaultFillPattern, bool stackSizes,
                      const RunSettings& settings);

// The whole script as text (what writeGnuLdScript writes into the file).
std::string gnuLdScriptText(const std::map<std::string, std::string>& symbols,
                            bool checkSegmentOverflow, bool checkSectionOverflow,
                            bool checkUnplacedSections, const MemoryMap& memoryMap,
                            const MemoryMap* sectionPlacement,
                            const std::string& defaultFillPattern, bool stackSizes,
                            const RunSettings& settings);

}  // namespace vozo
