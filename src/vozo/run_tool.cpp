#include "vozo/run_tool.h"

#include <exception>
#include <new>
#include <optional>
#include <string_view>

#include "linkscript/h_exception.h"
#include "linkscript/replaced_file.h"
#include "vozo/argument_reader.h"
#include "vozo/clean_path.h"
#include "vozo/command_line.h"
#include "vozo/dependency_file.h"
#include "vozo/help_text.h"
#include "vozo/segment_list.h"
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

// Loads the inputs and writes the output of a complete command line.
void runWithValues(const RunValues& values, const RunSettings& settings, RunSteps& steps,
                   std::FILE* out) {
  const std::string& outputPath = values.positional.front();
  if (settings.verbose) writeProgress(out, "Using memory map file ", values.memoryMapFile);
  if (!values.memoryMapFile.empty()) {
    if (!steps.loadMemoryMapFile(values.memoryMapFile, values.memoryMapMacros)) {
      throw HException("cannot load memory map file");
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
      throw HException("cannot load section placement file");
    }
  }

  if (values.segger) {
    steps.writeSeggerScript(outputPath, values, settings, withSectionPlacement);
  } else {
    steps.writeGnuLdScript(outputPath, values, settings, withSectionPlacement);
  }
  if (!values.dependencyFile.empty()) {
    replaceFileContents(values.dependencyFile,
                        dependencyFileText(outputPath, steps.openedFiles()));
  }
}

}  // namespace

int runTool(std::vector<std::string> arguments, RunSteps& steps, RunSettings& settings,
            std::FILE* out, std::FILE* err) {
  std::optional<std::string> outputPath;
  std::string message;
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
    runWithValues(values, settings, steps, out);
    return 0;
  } catch (const HException& exception) {
    message = exception.message();
  } catch (const std::string& text) {
    message = text;
  } catch (const std::bad_alloc&) {
    message = "out of memory";
  } catch (const std::exception& exception) {
    message = exception.what();
  }

  // Progress lines first, so that a combined log reads in order.
  std::fflush(out);
  writeText(err, "error: ");
  writeText(err, message);
  writeText(err, "\n");
  std::fflush(err);
  if (outputPath) removeFileIfPresent(*outputPath);
  return 1;
}

}  // namespace vozo
