// The script frame: regions, segment symbols, the chains of sections built
// from both documents and the sections placed from the segment end.

#include <gtest/gtest.h>

#include "captured_stream.h"
#include "gnu_ld_test_support.h"
#include "linkscript/gnu_ld_fixed_size.h"

namespace vozo {
namespace {

using test::scriptFor;
using test::ScriptOptions;
using test::sectionText;

TEST(GnuLdScript, SegmentNumbersAndExtraSymbols) {
  const std::string script = scriptFor(
      "<Root><MemorySegment name=\"ext ram\" start=\"0xffffffff\" size=\"0x10\""
      " address_symbol=\"extStart\" end_symbol=\"extEnd\" size_symbol=\"\"/>"
      "<MemorySegment name=\"Z\" start=\"0\" size=\"0\" access=\"readonly\"/></Root>");
  EXPECT_NE(script.find("  Z (wx) : ORIGIN = 0x00000000, LENGTH = 0x00000000\n"
                        "  ext_ram (wx) : ORIGIN = 0xffffffff, LENGTH = 0x00000010\n"),
            std::string::npos)
      << script;
  EXPECT_NE(script.find("  __ext_ram_segment_start__ = 0xffffffff;\n"
                        "  extStart = 0xffffffff;\n"
                        "  __ext_ram_segment_end__ = 0x10000000f;\n"
                        "  extEnd = 0x10000000f;\n"
                        "  __ext_ram_segment_size__ = 0x00000010;\n"
                        "   = 0x00000010;\n"),
            std::string::npos)
      << script;
}

// The memory map's own sections come first; placement segments are taken in
// reverse document order and continue the chain of the segment they name.
TEST(GnuLdScript, ChainsFromBothDocuments) {
  const char* memoryMap =
      "<Root><MemorySegment name=\"FLASH\" start=\"0\" size=\"0x10000\" access=\"ReadOnly\">"
      "<ProgramSection name=\".vectors\" load=\"Yes\"/></MemorySegment>"
      "<MemorySegment name=\"RAM\" start=\"0x20000000\" size=\"0x8000\"/></Root>";
  const char* placement =
      "<Root><MemorySegment name=\"FLASH\"><ProgramSection name=\".text\" load=\"Yes\"/>"
      "</MemorySegment>"
      "<MemorySegment name=\"RAM2;RAM\"><ProgramSection name=\".data\" load=\"Yes\"/>"
      "<ProgramSection name=\".bss\"/></MemorySegment>"
      "<MemorySegment name=\"NOWHERE\"><ProgramSection name=\".lost\"/></MemorySegment>"
      "<MemorySegment name=\"FLASH\"><ProgramSection name=\".rodata\" load=\"Yes\"/>"
      "</MemorySegment></Root>";
  ScriptOptions options;
  test::CapturedStream progress;
  options.settings.verbose = true;
  options.settings.progress = progress.stream();
  const std::string body = sectionText(scriptFor(memoryMap, placement, options));
  EXPECT_EQ(progress.text().substr(0, 238),
            "Adding section from memory map file .vectors\n"
            "Adding section from placement file .rodata\n"
            "Adding section from placement file .data\n"
            "Adding section from placement file .bss\n"
            "Adding section from placement file .text\n"
            "Laying out section .vectors\n");
  EXPECT_EQ(body.find("lost"), std::string::npos);
  size_t vectors = body.find("  .vectors __FLASH_segment_start__ : AT(");
  size_t rodata = body.find("  .rodata __vectors_end__ : AT(");
  size_t data = body.find("  .data __RAM_segment_start__ : AT(");
  size_t bss = body.find("  .bss __data_end__ (NOLOAD) : AT(");
  size_t text = body.find("  .text __rodata_end__ : AT(");
  size_t usedEnd = body.find("  __FLASH_segment_used_end__ = __rodata_end__ + SIZEOF(.text);\n");
  EXPECT_NE(vectors, std::string::npos) << body;
  EXPECT_LT(vectors, rodata);
  EXPECT_LT(rodata, data);
  EXPECT_LT(data, bss);
  EXPECT_LT(bss, text);
  EXPECT_LT(text, usedEnd);
  EXPECT_NE(usedEnd, std::string::npos);
}

TEST(GnuLdScript, PlacementSegmentsWithAddressesDefineTheRegions) {
  const char* memoryMap =
      "<Root><MemorySegment name=\"RAM\" start=\"0x20000000\" size=\"0x8000\">"
      "<ProgramSection name=\".own\"/></MemorySegment></Root>";
  const char* placement =
      "<Root><MemorySegment name=\"RAM\" start=\"0x20001000\" size=\"0x100\">"
      "<ProgramSection name=\".data\" load=\"Yes\"/></MemorySegment>"
      "<MemorySegment name=\"RAM\"/></Root>";
  const std::string script = scriptFor(memoryMap, placement);
  EXPECT_NE(script.find("  UNPLACED_SECTIONS (wx) : ORIGIN = 0x100000000, LENGTH = 0\n"
                        "  RAM (wx) : ORIGIN = 0x20001000, LENGTH = 0x00000100\n}\n"),
            std::string::npos)
      << script;
  EXPECT_NE(script.find("  __RAM_segment_start__ = 0x00000000;\n"
                        "  __RAM_segment_end__ = 0x00000000;\n"
                        "  __RAM_segment_size__ = 0x00000000;\n"
                        "  __RAM_segment_start__ = 0x20001000;\n"),
            std::string::npos)
      << script;
  EXPECT_EQ(script.find(".own"), std::string::npos);
  EXPECT_NE(script.find("  .data __RAM_segment_start__ : AT("), std::string::npos);
}

TEST(GnuLdScript, FixedSizes) {
  const std::map<std::string, std::string> symbols = {{"STACK", "2K"}, {"BIG", "0x10000000m"}};
  struct Case {
    const char* text;
    std::optional<uint32_t> size;
  } cases[] = {
      {"0x100", 0x100},
      {"1K", 1024},
      {"2m", 2097152},
      {"010", 8},
      {"0", 0},
      {" 16 ", 16},
      {"4 K", 4096},
      {"STACK", 2048},
      {"BIG", 0},
      {"0xffffffff", 0xffffffff},
      {"0x100000000", std::nullopt},
      {"", std::nullopt},
      {"K", std::nullopt},
      {"0x", std::nullopt},
      {"08", std::nullopt},
      {"12a", std::nullopt},
      {"STACK ", std::nullopt},
      {"-1", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseFixedSize(c.text, symbols), c.size) << c.text;
  }
}

std::string ramSections(std::string_view sections) {
  return "<Root><MemorySegment name=\"RAM\" start=\"0x20000000\" size=\"0x8000\">" +
         std::string(sections) + "</MemorySegment></Root>";
}

// Which section of a chain is placed from the segment end, and at which
// distance from it.
TEST(GnuLdScript, PlacedFromSegmentEnd) {
  struct Case {
    const char* sections;
    const char* statement;  // expected opening of the statement concerned
    const char* warning;
  } cases[] = {
      // The offset adds up the marked section and all after it.
      {R"(<ProgramSection name=".a" size="0x100"/>)"
       R"(<ProgramSection name=".b" size="1K" place_from_segment_end="Yes"/>)"
       R"(<ProgramSection name=".c" size="0x10"/>)",
       "  .b __RAM_segment_start__ + (__RAM_segment_size__ - 1040) (NOLOAD)", ""},
      // Of two marked sections the one nearer the chain start wins.
      {R"(<ProgramSection name=".a" size="8" place_from_segment_end="yes"/>)"
       R"(<ProgramSection name=".b" size="8" place_from_segment_end="yes"/>)",
       "  .a __RAM_segment_start__ + (__RAM_segment_size__ - 16) (NOLOAD)", ""},
      // A later section without a fixed size prevents it.
      {R"(<ProgramSection name=".a" size="16" place_from_segment_end="yes"/>)"
       R"(<ProgramSection name=".b"/>)",
       "  .a __RAM_segment_start__ (NOLOAD)",
       "warning: cannot place section .a at end of segment because section .b does not have a "
       "fixed size\n"},
  };
  for (const Case& c : cases) {
    test::CapturedStream warnings;
    ScriptOptions options;
    options.settings.warnings = warnings.stream();
    const std::string body = sectionText(scriptFor(ramSections(c.sections), {}, options));
    EXPECT_EQ(warnings.text(), c.warning) << c.sections;
    EXPECT_NE(body.find(c.statement), std::string::npos) << body;
  }
}

}  // namespace
}  // namespace vozo
