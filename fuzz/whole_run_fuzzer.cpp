// A whole run of the tool from one input. The input is split at lines that
// hold only "%%" into: the command-line arguments (one per line), the memory
// map file, the section placement file and a file that the others may
// include or import as "inc.xml". The files that are present are named on
// the command line; the run writes "out.ld" in a scratch directory.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_files.h"
#include "fuzz_support.h"
#include "linkscript/run_settings.h"
#include "vozo/run_steps.h"
#include "vozo/run_tool.h"

namespace {

std::vector<std::string_view> splitParts(std::string_view input) {
  std::vector<std::string_view> parts;
  for (;;) {
    const size_t mark = input.find("\n%%\n");
    if (mark == std::string_view::npos || parts.size() == 3) break;
    parts.push_back(input.substr(0, mark));
    input.remove_prefix(mark + 4);
  }
  parts.push_back(input);
  return parts;
}

// The arguments, one per line. A "/" becomes "_": every path the run writes
// (the output, a dependency file, or an argument taken for one) then names a
// file of the scratch directory, never one elsewhere on the machine.
std::vector<std::string> argumentLines(std::string_view text) {
  std::vector<std::string> result;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string& argument = result.emplace_back(text.substr(0, end));
    std::replace(argument.begin(), argument.end(), '/', '_');
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vozo::fuzz::enterScratchDirectory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string_view> parts = splitParts(vozo::fuzz::asText(data, size));
  std::vector<std::string> arguments = argumentLines(parts[0]);
  const char* files[] = {"map.xml", "placement.xml", "inc.xml"};
  for (size_t i = 1; i < 4; ++i) {
    std::remove(files[i - 1]);
    if (i < parts.size()) vozo::fuzz::writeFile(files[i - 1], parts[i]);
  }
  if (parts.size() > 1) {
    arguments.insert(arguments.begin(), {"-memory-map-file", "map.xml"});
  }
  if (parts.size() > 2) {
    arguments.insert(arguments.begin(), {"-section-placement-file", "placement.xml"});
  }
  arguments.push_back("out.ld");

  static const vozo::fuzz::FixedMacroTable table;
  vozo::ToolRunSteps steps(table);
  vozo::RunSettings settings;
  static std::FILE* sink = std::fopen("/dev/null", "w");
  vozo::runTool(std::move(arguments), steps, settings, sink, sink);
  return 0;
}
