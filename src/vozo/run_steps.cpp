#include "vozo/run_steps.h"

#include "check/file_checks.h"
#include "linkscript/gnu_ld_script.h"
#include "linkscript/segger_script.h"
#include "platform/environment.h"

namespace vozo {

namespace {

// VOZO_KEEP_REGISTER_CONTENT=1 keeps the content of register descriptions
// in the tree: the slow path beside the filter's fast one, for comparing
// the two (docs/reliability.md). The output is the same either way.
bool keepRegisterContent() {
  return platform::environmentVariable("VOZO_KEEP_REGISTER_CONTENT") == "1";
}

}  // namespace

// Files of both kinds are always preprocessed.

bool ToolRunSteps::loadMemoryMapFile(const std::string& path, const std::string& macroDefinitions) {
  // The writers read no registers, and the input checks check the content
  // that the load leaves out as it passes (memory/register_filter.h): the
  // tree is made without the content of register descriptions.
  if (!keepRegisterContent()) memoryMap_.leaveOutRegisters();
  return loadFile(memoryMap_, path, macroDefinitions, /*preprocess=*/true);
}

void ToolRunSteps::loadMemoryMapText(const std::string& text) {
  // A text that does not parse still goes to the writer, which then sees the
  // part the parser built, or no segments at all.
  loadText(memoryMap_, text);
}

bool ToolRunSteps::loadSectionPlacementFile(const std::string& path,
                                            const std::string& macroDefinitions) {
  return loadFile(sectionPlacement_, path, macroDefinitions, /*preprocess=*/true);
}

void ToolRunSteps::writeGnuLdScript(const std::string& outputPath, const RunValues& values,
                                    const RunSettings& settings, bool withSectionPlacement) {
  // The input checks report a section that cannot be placed from the segment
  // end at its file and line; the writer's plain warning would repeat it.
  RunSettings writerSettings = settings;
  if (values.inputCheck != InputCheck::Off) writerSettings.warnings = nullptr;
  vozo::writeGnuLdScript(outputPath, memoryMap_,
                         withSectionPlacement ? &sectionPlacement_ : nullptr,
                         {.symbols = values.symbols,
                          .checkSegmentOverflow = values.checkSegmentOverflow,
                          .checkSectionOverflow = values.checkSectionOverflow,
                          .checkUnplacedSections = values.checkUnplacedSections,
                          .defaultFillPattern = values.defaultFillPattern,
                          .stackSizes = values.stackSizes,
                          .lldCompatible = values.lldCompatible,
                          .run = writerSettings});
}

void ToolRunSteps::writeSeggerScript(const std::string& outputPath, const RunValues& values,
                                     const RunSettings& settings, bool withSectionPlacement) {
  vozo::writeSeggerScript(outputPath, values.symbols, memoryMap_,
                          withSectionPlacement ? &sectionPlacement_ : nullptr, settings);
}

std::vector<std::string> ToolRunSteps::openedFiles() const {
  std::vector<std::string> files = memoryMap_.sourceFiles();
  const std::vector<std::string>& placement = sectionPlacement_.sourceFiles();
  files.insert(files.end(), placement.begin(), placement.end());
  return files;
}

int ToolRunSteps::readFailure(bool sectionPlacement) const {
  return (sectionPlacement ? sectionPlacement_ : memoryMap_).readFailure();
}

void ToolRunSteps::startChecks(const RunValues& values, const RunSettings& settings) {
  checks_ = std::make_unique<InputChecks>(values.symbols, settings, values.segger);
  checks_->checkWhileLoading(memoryMap_, /*isPlacement=*/false);
  checks_->checkWhileLoading(sectionPlacement_, /*isPlacement=*/true);
}

void ToolRunSteps::checkDocuments(const RunValues& values, const RunSettings& settings,
                                  bool withSectionPlacement, Findings& findings) {
  if (!checks_) checks_ = std::make_unique<InputChecks>(values.symbols, settings, values.segger);
  checks_->finish(memoryMap_, withSectionPlacement ? &sectionPlacement_ : nullptr, findings);
}

void ToolRunSteps::explainLoadFailure(bool sectionPlacement, const std::string& path,
                                      Findings& findings) {
  if (sectionPlacement) {
    describeLoadFailure(sectionPlacement_, path, "section placement file", findings);
  } else {
    describeLoadFailure(memoryMap_, path, "memory map file", findings);
  }
}

}  // namespace vozo
