// vozo: writes the linker script of a firmware build from a memory map and
// an optional section placement file.

#include <cstdio>
#include <string>
#include <vector>

#include "linkscript/run_settings.h"
#include "platform/program_arguments.h"
#include "platform/standard_streams.h"
#include "vozo/builtin_macro_table.h"
#include "vozo/run_steps.h"
#include "vozo/run_tool.h"

int main(int argc, char** argv) {
  vozo::platform::useBinaryStandardStreams();
  // The macro table and the documents exist before the command line is
  // read; the table lives until the process ends.
  static const vozo::BuiltinMacroTable macroTable;
  vozo::ToolRunSteps steps(macroTable);
  vozo::RunSettings settings;

  return vozo::runTool(vozo::platform::programArguments(argc, argv), steps, settings, stdout,
                       stderr);
}
