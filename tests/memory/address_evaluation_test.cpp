#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
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

// Test names and failure output show the case by its label alone.
void PrintTo(const AddressCase& c, std::ostream* os) {
  *os << c.label;
}

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
        AddressCase{
            "relative_in_segment",
            R"(<Root><MemorySegment start="0x20000000"><ProgramSection name="x" start="+0x100"/></MemorySegment></Root>)",
            ElementKind::ProgramSection, 0x20000100, 0},
        AddressCase{"relative_under_root",
                    R"(<Root><ProgramSection name="x" start="+0x100"/></Root>)",
                    ElementKind::ProgramSection, 0x100, 0},
        AddressCase{
            "relative_expression",
            R"(<Root><MemorySegment start="0x10"><ProgramSection name="x" start="+2*3"/></MemorySegment></Root>)",
            ElementKind::ProgramSection, 0x16, 0},
        AddressCase{
            "space_before_plus_is_absolute",
            R"(<Root><MemorySegment start="0x1000"><ProgramSection name="x" start=" +8"/></MemorySegment></Root>)",
            ElementKind::ProgramSection, 8, 0},
        AddressCase{
            "base_is_inherited_through_wrappers",
            R"(<Root><MemorySegment start="0x1000"><Group><Other><ProgramSection name="x" start="+4"/></Other></Group></MemorySegment></Root>)",
            ElementKind::ProgramSection, 0x1004, 0},
        AddressCase{
            "segment_without_start_keeps_base",
            R"(<Root><RegisterGroup start="0x4000"><MemorySegment><Register name="x" start="+4"/></MemorySegment></RegisterGroup></Root>)",
            ElementKind::Register, 0x4004, 0},
        AddressCase{
            "empty_start_hands_on_base_0",
            R"(<Root><MemorySegment start="0x40"><MemorySegment start=""><ProgramSection name="x" start="+4"/></MemorySegment></MemorySegment></Root>)",
            ElementKind::ProgramSection, 4, 0},
        AddressCase{
            "base_of_children_is_32_bits",
            R"(<Root><MemorySegment start="0x100000010"><ProgramSection name="x" start="+1"/></MemorySegment></Root>)",
            ElementKind::ProgramSection, 0x11, 0},
        AddressCase{"start_keeps_64_bits",
                    R"(<Root><MemorySegment name="x" start="0x100000010"/></Root>)",
                    ElementKind::MemorySegment, 0x100000010, 0},
        AddressCase{"word_gives_0",
                    R"(<Root><MemorySegment name="x" start="nonsense" size="nonsense"/></Root>)",
                    ElementKind::MemorySegment, 0, 0},
        AddressCase{
            "failed_relative_start_is_the_base",
            R"(<Root><MemorySegment start="0x40"><ProgramSection name="x" start="+nonsense"/></MemorySegment></Root>)",
            ElementKind::ProgramSection, 0x40, 0},
        AddressCase{"segment_size_keeps_32_bits",
                    R"(<Root><RegisterGroup name="x" size="0x100000004"/></Root>)",
                    ElementKind::RegisterGroup, 0, 4},
        AddressCase{"register_size_keeps_64_bits",
                    R"(<Root><Register name="x" size="0x100000000"/></Root>)",
                    ElementKind::Register, 0, 0x100000000},
        AddressCase{"register_size_is_a_plain_number",
                    R"(<Root><Register name="x" size="8+8"/></Root>)", ElementKind::Register, 0, 8},
        AddressCase{
            "register_keeps_base_for_children",
            R"(<Root><RegisterGroup start="0x100"><Register start="+0x10"><Register name="x" start="+1"/></Register></RegisterGroup></Root>)",
            ElementKind::Register, 0x101, 0},
        AddressCase{
            "bit_field_is_relative_to_0",
            R"(<Root><RegisterGroup start="0x100"><Register start="+4"><BitField name="x" start="+3" size="2"/></Register></RegisterGroup></Root>)",
            ElementKind::BitField, 3, 2},
        AddressCase{"enum_size_octal", R"(<Root><Enum name="x" start="5" size="010"/></Root>)",
                    ElementKind::Enum, 5, 8},
        AddressCase{"unknown_tag_ignores_start",
                    R"(<Root><Import name="x" start="0x10" size="4"/></Root>)", ElementKind::Other,
                    0, 0},
        AddressCase{"after_cdata",
                    R"(<Root><![CDATA[text]]><MemorySegment name="x" start="7"/></Root>)",
                    ElementKind::MemorySegment, 7, 0}),
    [](const testing::TestParamInfo<AddressCase>& info) { return info.param.label; });

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
