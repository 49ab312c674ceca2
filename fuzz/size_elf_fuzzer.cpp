// vozo-size from any bytes taken as an ELF file: reading its symbols, the
// usage model and the checks, and the three reports. A file that is refused
// is an expected outcome. Whatever the names hold, the table and the picture
// must be UTF-8 without control characters (but line ends), and the JSON
// must be UTF-8.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "size/elf_symbols.h"
#include "size/json_report.h"
#include "size/printable_text.h"
#include "size/svg_report.h"
#include "size/table_report.h"
#include "size/usage_checks.h"
#include "size/usage_model.h"

namespace {

bool isUtf8(std::string_view text) {
  while (!text.empty()) {
    const size_t length = vozo::size::utf8CharacterLength(text);
    if (length == 0) return false;
    text.remove_prefix(length);
  }
  return true;
}

bool isTerminalText(std::string_view text) {
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && c != '\n') || byte == 0x7F) return false;
  }
  return isUtf8(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vozo::size;
  UsageModel model;
  try {
    model = buildUsageModel(readElfImage(vozo::fuzz::asText(data, size)));
  } catch (const ElfInputError&) {
    return 0;
  }
  // A budget for the first segment, so that the budget checks run too.
  std::vector<Budget> budgets;
  budgets.push_back(parseBudget("X=50"));
  budgets.front().segment = model.segments.front().name;
  const std::vector<std::string> failures = checkUsage(model, budgets);

  const std::string fileName = "fw\x01\xff.elf";
  if (!isTerminalText(tableReport(model, fileName, true)) ||
      !isTerminalText(svgReport(model, fileName)) ||
      !isUtf8(jsonReport(model, fileName, budgets, failures))) {
    std::abort();
  }
  return 0;
}
