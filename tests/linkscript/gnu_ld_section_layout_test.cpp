// The output-section statements: the failures and the order of layout over
// long chains (the rules per attribute are pinned by the golden cases
// layout_*).

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "expr/h_exception.h"
#include "gnu_ld_test_support.h"

namespace vozo {
namespace {

using test::scriptFor;
using test::sectionText;

// A memory map with the segment RAM holding the given sections; the text
// after a "|" holds the sections of a segment FLASH, which comes first in the
// document and so after RAM in the record list.
std::string ramWith(std::string_view sections) {
  std::string_view flash;
  if (size_t bar = sections.find('|'); bar != std::string_view::npos) {
    flash = sections.substr(bar + 1);
    sections = sections.substr(0, bar);
  }
  return "<Root><MemorySegment name=\"FLASH\" start=\"0\" size=\"0x10000\">" + std::string(flash) +
         "</MemorySegment><MemorySegment name=\"RAM\" start=\"0x20000000\" size=\"0x1000\">" +
         std::string(sections) + "</MemorySegment></Root>";
}

struct FailureCase {
  const char* title;
  std::string sections;
  std::string message;
};

// Test names and failure output show the case by its title alone.
void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << c.title;
}

class LayoutFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(LayoutFailure, EndsTheRun) {
  try {
    scriptFor(ramWith(GetParam().sections));
    ADD_FAILURE() << "no failure";
  } catch (const HException& error) {
    EXPECT_EQ(error.message(), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, LayoutFailure,
    testing::Values(
        FailureCase{"RunInItself", R"x(<ProgramSection name=".a" runin=".a"/>)x",
                    "run section .a cannot have run in sections"},
        FailureCase{
            "RunSectionRunsIn",
            R"x(<ProgramSection name=".b" runin=".c"/><ProgramSection name=".a" runin=".b"/>)x"
            R"x(<ProgramSection name=".c"/>)x",
            "run section .b cannot have run in sections"},
        FailureCase{"EmptyRunIn", R"x(<ProgramSection name=".a" runin=""/>)x",
                    "cannot find run section  referenced in a"},
        FailureCase{"MissingRunIns", R"x(<ProgramSection name=".a" runin="x;y"/>)x",
                    "cannot find run section x;y referenced in a"},
        FailureCase{"RunSectionFirstInSameSegment",
                    R"x(<ProgramSection name=".area"/><ProgramSection name=".x" runin=".area"/>)x",
                    "cyclic memory section dependency with section .area"},
        FailureCase{"RunInFirstInSameSegment",
                    R"x(<ProgramSection name=".x" runin=".area"/><ProgramSection name=".area"/>)x",
                    "cyclic memory section dependency with section .x"}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.title); });

// A run section whose run-in section ends a very long chain: laying it out
// walks the whole chain first, which must not exhaust the call stack.
TEST(SectionLayout, LongChainBehindRunInSection) {
  constexpr int kChain = 100000;
  std::string memoryMap = "<Root><MemorySegment name=\"FLASH\" start=\"0\" size=\"0x100000\">";
  for (int i = 0; i < kChain; ++i) {
    memoryMap += "<ProgramSection name=\".s" + std::to_string(i) + "\" load=\"Yes\"/>";
  }
  memoryMap +=
      "<ProgramSection name=\".code\" runin=\".area\" load=\"Yes\"/></MemorySegment>"
      "<MemorySegment name=\"RAM\" start=\"0x20000000\" size=\"0x1000\">"
      "<ProgramSection name=\".area\"/></MemorySegment></Root>";
  const std::string body = sectionText(scriptFor(memoryMap));
  size_t first = body.find("  __s0_load_start__ = __FLASH_segment_start__;\n");
  size_t code = body.find("  .code __RAM_segment_start__ : AT(__s99999_end__)\n");
  size_t area = body.find("  .area __RAM_segment_start__ (NOLOAD) :\n");
  EXPECT_EQ(first, 0u);
  EXPECT_NE(code, std::string::npos);
  EXPECT_NE(area, std::string::npos);
  EXPECT_LT(code, area);
}

}  // namespace
}  // namespace vozo
