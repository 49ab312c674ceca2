#include "linkscript/segger_script.h"

#include <cstdio>

#include "linkscript/h_exception.h"
#include "linkscript/segger_plan.h"
#include "linkscript/segger_text.h"

namespace vozo {

void writeSeggerScript(const std::string& outputPath,
                       const std::map<std::string, std::string>& symbols,
                       const MemoryMap& memoryMap, const MemoryMap* sectionPlacement,
                       const RunSettings& settings) {
  // A path with a NUL byte would name a different file.
  std::FILE* file =
      outputPath.find('\0') == std::string::npos ? std::fopen(outputPath.c_str(), "w") : nullptr;
  if (!file) throw HException("cannot open " + outputPath + " for writing");

  std::string text;
  try {
    text = seggerScriptText(symbols, planSeggerScript(memoryMap, sectionPlacement, settings));
  } catch (...) {
    std::fclose(file);
    throw;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  // fclose flushes: its failure is a write failure too.
  if (std::fclose(file) != 0 || !written) throw HException("cannot write " + outputPath);
}

}  // namespace vozo
