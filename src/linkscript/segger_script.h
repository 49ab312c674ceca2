#pragma once
// Writes the block-and-region linker script of the `-segger` output: one
// 4 GB memory, one region per segment, one block per section and per
// segment one placement statement listing its blocks in order.

#include <map>
#include <string>

#include "linkscript/run_settings.h"
#include "memory/memory_map.h"

namespace vozo {

// Writes the whole file at `outputPath` (truncating it). `sectionPlacement`
// is null without a section placement file. Reads `settings.verbose` and
// `settings.progress` only.
// Throws HException "cannot open <path> for writing" when the file cannot be
// opened, and "cannot write <path>" when writing it fails.
void writeSeggerScript(const std::string& outputPath,
                       const std::map<std::string, std::string>& symbols,
                       const MemoryMap& memoryMap, const MemoryMap* sectionPlacement,
                       const RunSettings& settings);

}  // namespace vozo
