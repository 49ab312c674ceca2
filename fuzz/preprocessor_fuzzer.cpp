// The preprocessor: the first line holds macro definitions, the rest is a
// document walked with them. Include elements name files of the working
// directory, which the run fills with a few fixed files (see fuzz_files.h).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_files.h"
#include "fuzz_support.h"
#include "xml/xmlpp2.h"

namespace {

class Preprocessor : public vozo::XMLPP2 {
 public:
  using XMLPP2::XMLPP2;
  void warning(std::string_view) override {}
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vozo::fuzz::enterScratchDirectory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const vozo::fuzz::DefinitionsAndText input =
      vozo::fuzz::splitDefinitions(vozo::fuzz::asText(data, size));
  static const vozo::fuzz::FixedMacroTable table;
  Preprocessor document(table);
  // Loops and copies within a smaller bound keep each run short.
  document.setGeneratedElementLimit(20'000);
  vozo::fuzz::expectingLimitErrors([&] {
    document.parse(input.text);
    document.processConditionals(document.root(), "fuzz.xml",
                                 vozo::macroMapFromDefinitionText(input.definitions), true);
  });
  return 0;
}
