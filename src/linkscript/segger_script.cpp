#include "linkscript/segger_script.h"

#include "linkscript/replaced_file.h"
#include "linkscript/segger_plan.h"
#include "linkscript/segger_text.h"

namespace vozo {

void writeSeggerScript(const std::string& outputPath,
                       const std::map<std::string, std::string>& symbols,
                       const MemoryMap& memoryMap, const MemoryMap* sectionPlacement,
                       const RunSettings& settings) {
  // Opened first, so that an unwritable path fails before any progress text.
  ReplacedFile file(outputPath);
  file.write(
      seggerScriptText(symbols, planSeggerScript(memoryMap, sectionPlacement, settings.verbose)));
}

}  // namespace vozo
