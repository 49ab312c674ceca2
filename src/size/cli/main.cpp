// vozo-size: reports how full each memory segment of a firmware linked with
// a vozo-generated script is, as a table, JSON or an SVG picture, and fails
// when a segment overflows or exceeds its budget.

#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "report_output.h"
#include "size/elf_symbols.h"
#include "size/json_report.h"
#include "size/svg_report.h"
#include "size/table_report.h"
#include "size/usage_checks.h"
#include "size/usage_model.h"
#include "size_command_line.h"
#include "xml/closest_name.h"

namespace {

constexpr int kChecksFailed = 1;
constexpr int kCannotCheck = 2;
constexpr const char* kProgram = "vozo-size";

// Writes a report to standard output; false, with the reason on standard
// error, when it cannot be written whole.
bool printReport(const std::string& report) {
  if (std::optional<std::string> failure = vozo::size::writeWhole(stdout, report)) {
    vozo::size::printError(kProgram, "cannot write the report to standard output: " + *failure);
    return false;
  }
  return true;
}

int run(const vozo::size::SizeOptions& options) {
  using namespace vozo::size;
  if (options.svgPath && vozo::platform::sameFile(*options.svgPath, options.elfPath)) {
    printError(kProgram, "cannot write the picture to " + *options.svgPath +
                             ": it is the ELF file being read");
    return kCannotCheck;
  }
  const UsageModel model = buildUsageModel(readElfSymbols(options.elfPath));
  for (const Budget& budget : options.budgets) {
    if (!model.findSegment(budget.segment)) {
      std::vector<std::string_view> names;
      for (const SegmentUsage& segment : model.segments) names.push_back(segment.name);
      printError(options.elfPath, "-budget names segment " + budget.segment +
                                      ", which the file does not have" +
                                      vozo::didYouMean(budget.segment, names));
      return kCannotCheck;
    }
  }
  const std::vector<std::string> failures = checkUsage(model, options.budgets);

  if (options.svgPath) {
    if (std::optional<std::string> failure =
            writeFile(*options.svgPath, svgReport(model, options.elfPath))) {
      printError(kProgram, "cannot write " + *options.svgPath + ": " + *failure);
      return kCannotCheck;
    }
  }
  const std::string report = options.json
                                 ? jsonReport(model, options.elfPath, options.budgets, failures)
                                 : tableReport(model, options.elfPath, options.sections);
  if (!printReport(report)) return kCannotCheck;
  for (const std::string& failure : failures) printError(options.elfPath, failure);
  return failures.empty() ? 0 : kChecksFailed;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  vozo::size::SizeOptions options;
  try {
    options = vozo::size::parseSizeOptions(arguments);
  } catch (const std::invalid_argument& error) {
    vozo::size::printError(kProgram, error.what());
    std::fputs(vozo::size::kSizeUsage, stderr);
    return kCannotCheck;
  }
  if (options.help) return printReport(vozo::size::kSizeUsage) ? 0 : kCannotCheck;
  if (options.version) return printReport(vozo::size::kSizeVersion) ? 0 : kCannotCheck;
  try {
    return run(options);
  } catch (const vozo::size::ElfInputError& error) {
    vozo::size::printError(options.elfPath, error.what());
    return kCannotCheck;
  }
}
