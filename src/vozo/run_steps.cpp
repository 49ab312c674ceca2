#include "vozo/run_steps.h"

#include "linkscript/h_exception.h"

namespace vozo {

bool ToolRunSteps::loadMemoryMapFile(const std::string&, const std::string&) {
  throw HException("memory map loading is not available in this build");
}

void ToolRunSteps::loadMemoryMapText(const std::string&) {
  throw HException("memory map loading is not available in this build");
}

bool ToolRunSteps::loadSectionPlacementFile(const std::string&, const std::string&) {
  throw HException("section placement loading is not available in this build");
}

void ToolRunSteps::writeGnuLdScript(const std::string&, const RunValues&, const RunSettings&,
                                    bool) {
  throw HException("GNU ld script writing is not available in this build");
}

void ToolRunSteps::writeSeggerScript(const std::string&, const RunValues&, const RunSettings&,
                                     bool) {
  throw HException("SEGGER linker script writing is not available in this build");
}

}  // namespace vozo
