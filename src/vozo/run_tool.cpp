#include "vozo/run_tool.h"

#include <new>
#include <optional>
#include <string_view>

#include "check/finding.h"
#include "expr/h_exception.h"
#include "linkscript/replaced_file.h"
#include "platform/error_text.h"
#include "vozo/argument_reader.h"
#include "vozo/clean_path.h"
#include "vozo/command_line.h"
#include "vozo/dependency_file.h"
#include "vozo/help_text.h"
#include "vozo/segment_list.h"
#include "vozo/symbol_definitions.h"
#include "vozo/usage_text.h"

namespace vozo {
namespace {

void writeText(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

void writeProgress(std::FILE* out, std::string_view prefix, std::string_view path) {
  writeText(out, prefix);
  writeText(out, path);
  writeText(out, "\n");
}

// Prints why a file did not load (with -warnings or -strict), then fails the
// run with the usual message and the system's reason, if any.
[[noreturn]] void failLoad(const RunValues& values, RunSteps& steps, bool sectionPlacement,
                           const std::string& path, std::FILE* out, std::FILE* err) {
  if (values.inputCheck != InputCheck::Off) {
    Findings findings;
    steps.explainLoadFailure(sectionPlacement, path, findings);
    std::fflush(out);
    writeFindings(err, findings, "error");
  }
  throw HException(sectionPlacement ? "cannot load section placement file"
                                    : "cannot load memory map file",
                   steps.readFailure(sectionPlacement));
}

// Runs the input checks and prints what they find; with -strict any finding
// fails the run before the script is written.
void checkInputs(const RunValues& values, const RunSettings& settings, RunSteps& steps,
                 bool withSectionPlacement, std::FILE* out, std::FILE* err) {
  Findings findings;
  if (!values.memoryMapFile.empty()) {
    if (!values.segmentList.empty()) {
      findings.add("-memory-map-segments is ignored: -memory-map-file gives the memory map");
    }
  } else {
    checkSegmentList(values.segmentList, findings);
  }
  checkSymbolTexts(values.symbolTexts, findings);
  steps.checkDocuments(values, settings, withSectionPlacement, findings);
  findings.sort();
  const bool strict = values.inputCheck == InputCheck::Strict;
  std::fflush(out);
  writeFindings(err, findings, strict ? "error" : "warning");
  if (strict && !findings.empty()) {
    throw HException(std::to_string(findings.size()) +
                     (findings.size() == 1 ? " problem" : " problems") +
                     " found by -strict; no linker script written");
  }
}

// Loads the inputs and writes the output of a complete command line.
void runWithValues(const RunValues& values, const RunSettings& settings, RunSteps& steps,
                   std::FILE* out, std::FILE* err) {
  const std::string& outputPath = values.positional.front();
  if (values.inputCheck != InputCheck::Off) steps.startChecks(values, settings);
  if (settings.verbose) writeProgress(out, "Using memory map file ", values.memoryMapFile);
  if (!values.memoryMapFile.empty()) {
    if (!steps.loadMemoryMapFile(values.memoryMapFile, values.memoryMapMacros)) {
      failLoad(values, steps, false, values.memoryMapFile, out, err);
    }
  } else {
    steps.loadMemoryMapText(segmentListToMemoryMapText(values.segmentList));
  }

  bool withSectionPlacement = !values.sectionPlacementFile.empty();
  if (withSectionPlacement) {
    if (settings.verbose) {
      writeProgress(out, "Using section placement file ", values.sectionPlacementFile);
    }
    if (!steps.loadSectionPlacementFile(values.sectionPlacementFile,
                                        values.sectionPlacementMacros)) {
      failLoad(values, steps, true, values.sectionPlacementFile, out, err);
    }
  }

  if (values.inputCheck != InputCheck::Off) {
    checkInputs(values, settings, steps, withSectionPlacement, out, err);
  }

  // Made before the script: a file name it cannot hold ends the run before
  // the script is written.
  DependencyFileText dependencies;
  if (!values.dependencyFile.empty()) {
    dependencies = dependencyFileText(values.dependencyFile, outputPath, steps.openedFiles());
    if (!dependencies.error.empty()) throw HException(dependencies.error);
  }
  if (values.segger) {
    steps.writeSeggerScript(outputPath, values, settings, withSectionPlacement);
  } else {
    steps.writeGnuLdScript(outputPath, values, settings, withSectionPlacement);
  }
  if (!values.dependencyFile.empty()) replaceFileContents(values.dependencyFile, dependencies.text);
}

}  // namespace

int runTool(std::vector<std::string> arguments, RunSteps& steps, RunSettings& settings,
            std::FILE* out, std::FILE* err) {
  std::optional<std::string> outputPath;
  bool withChecks = false;
  std::string message;
  int systemError = 0;
  settings.progress = out;
  settings.warnings = err;
  try {
    ArgumentReader reader(std::move(arguments));
    RunValues values;
    readCommandLine(reader, settings, values);
    if (values.showHelp || values.showVersion) {
      writeText(out, values.showHelp ? helpText() : versionText());
      return std::fflush(out) == 0 ? 0 : 1;
    }
    if (needsUsage(values)) {
      writeText(err, usageText());
      std::fflush(err);
      return 1;
    }
    outputPath = values.positional.front();
    withChecks = values.inputCheck != InputCheck::Off;
    runWithValues(values, settings, steps, out, err);
    return 0;
  } catch (const HException& exception) {
    message = exception.message();
    systemError = exception.systemError();
  } catch (const std::bad_alloc&) {
    message = "out of memory";
  }

  // Progress lines first, so that a combined log reads in order.
  std::fflush(out);
  writeText(err, "error: ");
  writeText(err, message);
  writeText(err, "\n");
  // Whether a file was missing, unreadable, or the disk full: the checks add
  // the system's reason (the default output stays one line).
  if (withChecks && systemError != 0) {
    writeText(err, "vozo: note: ");
    writeText(err, platform::errorText(systemError));
    writeText(err, "\n");
  }
  std::fflush(err);
  if (outputPath) removeFileIfPresent(*outputPath);
  return 1;
}

}  // namespace vozo
