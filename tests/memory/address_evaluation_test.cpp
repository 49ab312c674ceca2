#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <string>

#include "memory/queries.h"
#include "memory/test_support.h"

namespace vozo {
namespace {

using test::documentFromText;

struct AddressCase {
  const char* label;
  const char* xml;  // the element under test has name="x"
  ElementKind kind;
  uint64_t start;
  uint64_t size;
};

class AddressEvaluationTest : public testing::TestWithParam<AddressCase> {};

TEST_P(AddressEvaluationTest, EvaluatesStartAndSize) {
  const AddressCase& c = GetParam();
  auto document = documentFromText(c.xml);
  MemoryMapElement* element = findElement(*document, c.kind, "x");
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(element->start(), c.start);
  EXPECT_EQ(element->size(), c.size);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AddressEvaluationTest,
    testing::Values(
        AddressCase{"segment",
                    R"(<Root><MemorySegment name="x" start="0x08000000" size="0x80000"/></Root>)",
                    ElementKind::MemorySegment, 134217728, 524288},
        AddressCase{
            "expression",
            R"(<Root><MemorySegment name="x" start="0x20000000 + 16*1024" size="1&lt;&lt;12"/></Root>)",
            ElementKind::MemorySegment, 0x20004000, 4096},
        AddressCase{"octal", R"(<Root><MemorySegment name="x" start="010"/></Root>)",
                    ElementKind::MemorySegment, 8, 0},
        AddressCase{"binary", R"(<Root><MemorySegment name="x" start="0b100"/></Root>)",
                    ElementKind::MemorySegment, 4, 0},
        AddressCase{"suffix", R"(<Root><MemorySegment name="x" start="4U"/></Root>)",
                    ElementKind::MemorySegment, 4, 0},
        AddressCase{
            "relative in segment",
            R"(<Root><MemorySegment start="0x20000000"><ProgramSection name="x" start="+0x100"/></MemorySegment></Root>)",
            ElementKind::ProgramSection, 0x20000100, 0},
        AddressCase{"relative under root",
                    R"(<Root><ProgramSection name="x" start="+0x100"/></Root>)",
                    ElementKind::ProgramSection, 0x100, 0},

        AddressCase{
            "space before plus is absolute",
            R"(<Root><MemorySegment start="0x1000"><ProgramSection name="x" start=" +8"/></MemorySegment></Root>)",
            ElementKind::ProgramSection, 8, 0},
        AddressCase{
            "base is inherited through wrappers",
            R"(<Root><MemorySegment start="0x1000"><Group><Other><ProgramSection name="x" start="+4"/></Other></Group></MemorySegment></Root>)",
            ElementKind::ProgramSection, 0x1004, 0},
        AddressCase{
            "segment without start keeps base",
            R"(<Root><RegisterGroup start="0x4000"><MemorySegment><Register name="x" start="+4"/></MemorySegment></RegisterGroup></Root>)",
            ElementKind::Register, 0x4004, 0},
        AddressCase{
            "base of children is 32 bits",
            R"(<Root><MemorySegment start="0x100000010"><ProgramSection name="x" start="+1"/></MemorySegment></Root>)",
            ElementKind::ProgramSection, 0x11, 0},
        AddressCase{"start keeps 64 bits",
                    R"(<Root><MemorySegment name="x" start="0x100000010"/></Root>)",
                    ElementKind::MemorySegment, 0x100000010, 0},
        AddressCase{
            "empty start",
            R"(<Root><MemorySegment start="0x40"><MemorySegment name="x" start=""><ProgramSection name="y" start="+4"/></MemorySegment></MemorySegment></Root>)",
            ElementKind::MemorySegment, 0, 0},
        AddressCase{"word gives 0",
                    R"(<Root><MemorySegment name="x" start="nonsense" size="nonsense"/></Root>)",
                    ElementKind::MemorySegment, 0, 0},
        AddressCase{
            "failed relative start is the base",
            R"(<Root><MemorySegment start="0x40"><ProgramSection name="x" start="+nonsense"/></MemorySegment></Root>)",
            ElementKind::ProgramSection, 0x40, 0},
        AddressCase{"division by zero",
                    R"(<Root><MemorySegment name="x" start="1/0" size="1/0"/></Root>)",
                    ElementKind::MemorySegment, 0, 0},
        AddressCase{"4 GiB segment size is 0",
                    R"(<Root><MemorySegment name="x" size="0x100000000"/></Root>)",
                    ElementKind::MemorySegment, 0, 0},
        AddressCase{"register size keeps 64 bits",
                    R"(<Root><Register name="x" size="0x100000000"/></Root>)",
                    ElementKind::Register, 0, 0x100000000},
        AddressCase{"register size is a plain number",
                    R"(<Root><Register name="x" size="8+8"/></Root>)", ElementKind::Register, 0, 8},
        AddressCase{
            "register hands on its own base",
            R"(<Root><RegisterGroup start="0x100"><Register start="+0x10"><Register name="x" start="+1"/></Register></RegisterGroup></Root>)",
            ElementKind::Register, 0x101, 0},
        AddressCase{
            "bit field is relative to 0",
            R"(<Root><RegisterGroup start="0x100"><Register start="+4"><BitField name="x" start="+3" size="2"/></Register></RegisterGroup></Root>)",
            ElementKind::BitField, 3, 2},
        AddressCase{"enum size octal", R"(<Root><Enum name="x" start="5" size="010"/></Root>)",
                    ElementKind::Enum, 5, 8},

        AddressCase{"processor ignores start",
                    R"(<Root><Processor name="x" start="0x10" size="4"/></Root>)",
                    ElementKind::Processor, 0, 0},
        AddressCase{"unknown tag ignores start",
                    R"(<Root><Import name="x" start="0x10" size="4"/></Root>)", ElementKind::Other,
                    0, 0},
        AddressCase{"after cdata",
                    R"(<Root><![CDATA[text]]><MemorySegment name="x" start="7"/></Root>)",
                    ElementKind::MemorySegment, 7, 0}),
    [](const testing::TestParamInfo<AddressCase>& info) {
      std::string name;
      for (const char* p = info.param.label; *p != '\0'; ++p) {
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      }
      return name;
    });

TEST(AddressEvaluation, RelativeStartAgainstEmptySegmentStart) {
  auto document = documentFromText(
      R"(<Root><MemorySegment start="0x40"><MemorySegment start=""><ProgramSection name="y" start="+4"/></MemorySegment></MemorySegment></Root>)");
  EXPECT_EQ(findElement(*document, ElementKind::ProgramSection, "y")->start(), 4u);
}

TEST(AddressEvaluation, DeepNestingAndSiblings) {
  constexpr int kDepth = 200000;
  std::string xml = "<Root>";
  for (int i = 0; i < kDepth; ++i) xml += "<RegisterGroup start=\"+1\">";
  xml += "<Register name=\"deep\" start=\"+0\"/>";
  for (int i = 0; i < kDepth; ++i) xml += "</RegisterGroup>";
  for (int i = 0; i < 100000; ++i) xml += "<MemorySegment start=\"0x10\"/>";
  xml += "<MemorySegment name=\"last\" start=\"0x20\" size=\"0x30\"/></Root>";
  auto document = documentFromText(xml);
  EXPECT_EQ(findElement(*document, ElementKind::Register, "deep")->start(), uint64_t{kDepth});
  MemoryMapElement* last = findElement(*document, ElementKind::MemorySegment, "last");
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->size(), 0x30u);
}

}  // namespace
}  // namespace vozo
