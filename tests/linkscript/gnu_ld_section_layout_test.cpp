// The output-section statements: the rules per attribute, the failures and
// the order of layout over long chains.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "gnu_ld_test_support.h"

namespace vozo {
namespace {

using test::scriptFor;
using test::ScriptOptions;
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

struct RuleCase {
  const char* title;
  std::string sections;  // ProgramSection elements of RAM
  std::vector<std::string> present;
  std::vector<std::string> absent = {};
  bool checkSegmentOverflow = false;
  bool checkSectionOverflow = false;
  std::string defaultFillPattern = {};
  RunSettings settings = {};
};

// Test names and failure output show the case by its title alone.
void PrintTo(const RuleCase& c, std::ostream* os) {
  *os << c.title;
}

class SectionRule : public testing::TestWithParam<RuleCase> {};

TEST_P(SectionRule, WritesExpectedLines) {
  const RuleCase& rule = GetParam();
  ScriptOptions options;
  options.checkSegmentOverflow = rule.checkSegmentOverflow;
  options.checkSectionOverflow = rule.checkSectionOverflow;
  options.defaultFillPattern = rule.defaultFillPattern;
  options.settings = rule.settings;
  const std::string body = sectionText(scriptFor(ramWith(rule.sections), {}, options));
  for (const std::string& text : rule.present) {
    EXPECT_NE(body.find(text), std::string::npos) << "missing: " << text << "\nin:\n" << body;
  }
  for (const std::string& text : rule.absent) {
    EXPECT_EQ(body.find(text), std::string::npos) << "unexpected: " << text << "\nin:\n" << body;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SectionRule,
    testing::Values(
        RuleCase{"AlignmentOneKeepsStartButNotSizeForm",
                 R"x(<ProgramSection name=".a" alignment="1" size="16"/>)x",
                 {"  .a __RAM_segment_start__ (NOLOAD)",
                  "    . = ALIGN(MAX(__a_start__ + 16 , .), 1);\n",
                  "  . = ASSERT(16  == ALIGN(16, 1), \"error: .a section size does not match "
                  "alignment\");\n\n"
                  "  . = ASSERT(__a_size__ <= 16 , \"error: .a section is larger than specified "
                  "size\");\n\n"},
                 {"ALIGN(__RAM_segment_start__"},
                 false,
                 true},
        RuleCase{"HexAlignmentWrittenInDecimal",
                 R"x(<ProgramSection name=".a"/><ProgramSection name=".b" alignment="0x10"/>)x",
                 {"  .b ALIGN(__a_end__ , 16) (NOLOAD)"}},
        RuleCase{"SizeWithoutAlignment",
                 R"x(<ProgramSection name=".a" size="0x20"/>)x",
                 {"    *(.a .a.*)\n    . = MAX(__a_start__ + 0x20 , .);\n  }\n"}},
        RuleCase{"FixedStartIsVerbatimAndChecked",
                 R"x(<ProgramSection name=".a" load="yes" runoffset="4"/>)x"
                 R"x(<ProgramSection name=".b" start="0x20000100 + 0" alignment="8"/>)x",
                 {"  .b 0x20000100 + 0 (NOLOAD) : AT(0x20000100 + 0)\n",
                  "  . = ASSERT(__a_load_end__ <= __b_start__ , \"error: section .a overlaps "
                  "absolute placed section .b\");\n\n"},
                 {},
                 true},
        RuleCase{"LoadValues",
                 R"x(<ProgramSection name=".a" load="YES"/><ProgramSection name=".b" load="Y"/>)x",
                 {"  .a __RAM_segment_start__ : AT(", "  .b __a_end__ (NOLOAD) : AT("}},
        RuleCase{"KeepAnyCaseWrapsDefaultList",
                 R"x(<ProgramSection name=".ctors" keep="yes"/>)x",
                 {"    KEEP(KEEP (*(SORT(.ctors.*))) KEEP (*(.ctors)) KEEP (*(.init_array)) "
                  "KEEP (*(SORT(.init_array.*))))\n"}},
        RuleCase{"SpaceInName",
                 R"x(<ProgramSection name="my data" inputsections=""/>)x",
                 {"  my_data __RAM_segment_start__ (NOLOAD) : AT(", "    __my_data_start__ = .;\n",
                  "    *(my_data my_data.*)\n"}},
        RuleCase{"InputSectionsReplaceDefault",
                 R"x(<ProgramSection name=".text" inputsections="*(.boot)" keep="Yes"/>)x",
                 {"    KEEP(*(.boot))\n"}},
        RuleCase{"SegmentSizeRemaining",
                 R"x(<ProgramSection name=".a" size="$(SEGMENT_SIZE_REMAINING)"/>)x"
                 R"x(<ProgramSection name=".b" size="$(SEGMENT_SIZE_REMAINING)"/>)x",
                 {"    . = MAX(__a_start__ + __RAM_segment_size__ , .);\n",
                  "    . = MAX(__b_start__ + (__RAM_segment_end__ - (__a_load_start__ + "
                  "SIZEOF(.a))) , .);\n"}},
        RuleCase{"FillPatterns",
                 R"x(<ProgramSection name=".a" fill=""/><ProgramSection name=".b"/>)x"
                 R"x(<ProgramSection name=".c" fill="0x00"/>)x",
                 {"    *(.a .a.*)\n  } =\n", "    *(.b .b.*)\n  } =0xFF\n",
                  "    *(.c .c.*)\n  } =0x00\n"},
                 {},
                 false,
                 false,
                 "0xFF"},
        RuleCase{"ExtraSymbols",
                 R"(<ProgramSection name=".a" address_symbol="aStart" end_symbol="aEnd")"
                 R"( size_symbol="aSize"/>)",
                 {"    __a_start__ = .;\n    aStart =   __a_start__;\n",
                  "  aEnd =   __a_end__;\naSize =   __a_size__;\n  __a_load_end__"}},
        RuleCase{"RunOffset",
                 R"x(<ProgramSection name=".a" load="Yes" runoffset="0x100"/>)x"
                 R"x(<ProgramSection name=".b" load="Yes"/>)x",
                 {"  .a __a_load_start__ + 0x100 : AT(__RAM_segment_start__)\n",
                  "  __a_load_end__ = __a_load_start__ + SIZEOF(.a);\n\n",
                  "  . = ASSERT(__a_load_start__ == __a_load_end__ || (__a_load_end__ - "
                  "__RAM_segment_start__) <=  __RAM_segment_size__ , \"error: .a is too large to "
                  "fit in RAM memory segment\");\n\n",
                  "  __b_load_start__ = __a_load_start__ + SIZEOF(.a);\n"},
                 {},
                 true},
        RuleCase{"RunOffsetIgnoresItsRunIns",
                 R"x(<ProgramSection name=".a" runoffset="8"/>)x"
                 R"x(<ProgramSection name=".b" runin=".a" load="Yes"/>)x",
                 {"  __a_end__ = __a_start__ + SIZEOF(.a);\n",
                  "  .b __RAM_segment_start__ : AT(__a_load_start__ + SIZEOF(.a))\n"}},
        RuleCase{"RunSectionWithSizeAndAlignment",
                 R"x(<ProgramSection name=".area" size="0x40" alignment="4"/>|)x"
                 R"x(<ProgramSection name=".x" runin=".area"/>)x",
                 {"  __area_end__ = MAX(ALIGN(__area_start__ + 0x40, 4), __area_start__ + "
                  "SIZEOF(.x));\n"}},
        RuleCase{"RunInWithFixedStartAndSecondName",
                 R"x(<ProgramSection name=".area" start="0x20000800" alignment="8"/>|)x"
                 R"x(<ProgramSection name=".x" runin=".none;;.area"/>)x",
                 {"  .x 0x20000800 (NOLOAD) : AT(__FLASH_segment_start__)\n"}},
        RuleCase{"RunInAlignedTarget",
                 R"x(<ProgramSection name=".a"/><ProgramSection name=".area" alignment="1"/>|)x"
                 R"x(<ProgramSection name=".x" runin=".area"/>)x",
                 {"  .x ALIGN(__a_end__ , 1) (NOLOAD) : AT(__FLASH_segment_start__)\n"}},
        // The predecessor of .b, and so the run address of .x, skip the discarded .gone.
        RuleCase{"DiscardedSectionIsSkipped",
                 R"x(<ProgramSection name=".a"/><ProgramSection name=".gone" runin=".none"/>)x"
                 R"x(<ProgramSection name=".b"/>|<ProgramSection name=".x" runin=".b"/>)x",
                 {"  .b __a_end__ (NOLOAD) :\n",
                  "  .x __a_end__ (NOLOAD) : AT(__FLASH_segment_start__)\n",
                  "  __RAM_segment_used_end__ = __a_end__ + SIZEOF(.b);\n"},
                 {"gone"},
                 false,
                 false,
                 {},
                 RunSettings{.missingRunInIsError = false}}),
    [](const testing::TestParamInfo<RuleCase>& info) { return std::string(info.param.title); });

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

TEST_P(LayoutFailure, ThrowsText) {
  try {
    scriptFor(ramWith(GetParam().sections));
    ADD_FAILURE() << "no failure";
  } catch (const std::string& message) {
    EXPECT_EQ(message, GetParam().message);
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
