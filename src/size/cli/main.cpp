// vozo-size: reports how full each memory segment of a firmware linked with
// a vozo-generated script is, as a table, JSON or an SVG picture, and fails
// when a segment overflows or exceeds its budget.

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "size/elf_symbols.h"
#include "size/json_report.h"
#include "size/svg_report.h"
#include "size/table_report.h"
#include "size/usage_checks.h"
#include "size/usage_model.h"
#include "size_command_line.h"

namespace {

constexpr int kChecksFailed = 1;
constexpr int kCannotCheck = 2;

// Writes `text` to `path` whole; a file left half written is removed.
bool writeFile(const std::string& path, const std::string& text) {
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "w"));
  if (!file) return false;
  if (std::fwrite(text.data(), 1, text.size(), file.get()) != text.size() ||
      std::fclose(file.release()) != 0) {
    std::remove(path.c_str());
    return false;
  }
  return true;
}

int run(const vozo::size::SizeOptions& options) {
  using namespace vozo::size;
  const UsageModel model = buildUsageModel(readElfSymbols(options.elfPath));
  for (const Budget& budget : options.budgets) {
    if (!model.findSegment(budget.segment)) {
      std::fprintf(stderr, "%s: error: -budget names segment %s, which the file does not have\n",
                   options.elfPath.c_str(), budget.segment.c_str());
      return kCannotCheck;
    }
  }
  const std::vector<std::string> failures = checkUsage(model, options.budgets);

  if (options.svgPath && !writeFile(*options.svgPath, svgReport(model, options.elfPath))) {
    std::fprintf(stderr, "vozo-size: error: cannot write %s\n", options.svgPath->c_str());
    return kCannotCheck;
  }
  const std::string report = options.json
                                 ? jsonReport(model, options.elfPath, options.budgets, failures)
                                 : tableReport(model, options.elfPath, options.sections);
  std::fputs(report.c_str(), stdout);
  std::fflush(stdout);
  for (const std::string& failure : failures) {
    std::fprintf(stderr, "%s: error: %s\n", options.elfPath.c_str(), failure.c_str());
  }
  return failures.empty() ? 0 : kChecksFailed;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  vozo::size::SizeOptions options;
  try {
    options = vozo::size::parseSizeOptions(arguments);
  } catch (const std::invalid_argument& error) {
    std::fprintf(stderr, "vozo-size: error: %s\n%s", error.what(), vozo::size::kSizeUsage);
    return kCannotCheck;
  }
  if (options.help) {
    std::fputs(vozo::size::kSizeUsage, stdout);
    return 0;
  }
  try {
    return run(options);
  } catch (const vozo::size::ElfInputError& error) {
    std::fprintf(stderr, "%s: error: %s\n", options.elfPath.c_str(), error.what());
    return kCannotCheck;
  }
}
